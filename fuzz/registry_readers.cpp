// The number and string readers over values of any type and bytes, and the applet's and the
// reminder's readers built on them: the stored monitor names, the placeholder test that reads
// any type, the side, the TV values and the stage; then the dialogs and the reminder that use
// them.
//
// Input: [board] then [present][value] for each value of kSlots, then up to 8 dialog commands.
#include <cstring>
#include <string>

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "applet/applet_entry.h"
#include "applet/resource.h"
#include "applet/selection_dialog.h"
#include "applet/settings_store.h"
#include "applet/twin_control.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "reminder/reminder.h"

namespace {

constexpr char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr char kDatabase[] = "C:\\WINNT\\system32\\drivers\\orvel\\timing\\monitor.ini";
constexpr WindowHandle kDialog = 0x1234;

enum Place { kFirst, kSecond, kMaker, kAlignment };
struct Slot {
    Place place;
    const char* name;
};
constexpr Slot kSlots[] = {
    {kFirst, kPrimarySelectedMonitor},  {kFirst, kSecondarySelectedMonitor},
    {kFirst, kPrimaryIsLeft},           {kFirst, kAvailableTvSet},
    {kFirst, kSelectedTvSet},           {kFirst, kPrimaryBoardId},
    {kSecond, kPrimarySelectedMonitor}, {kSecond, kSecondarySelectedMonitor},
    {kMaker, kOrvelIsInstalled},        {kAlignment, kTwinControlFlag},
};
constexpr size_t kSlotCount = sizeof(kSlots) / sizeof(kSlots[0]);

struct Machine {
    SimRegistry reg;
    std::string service = "lumora";
    bool present[kSlotCount] = {};
    fuzz::Input::Value values[kSlotCount];

    RegKey Root(Place place) const {
        return place == kAlignment ? HKEY_CURRENT_USER_ : HKEY_LOCAL_MACHINE_;
    }
    std::string Path(Place place) const {
        switch (place) {
            case kFirst:
                return kServices + service + "\\Device0";
            case kSecond:
                return kServices + service + "\\Device1";
            case kMaker:
                return "SOFTWARE\\Orvelcom\\" + service + "\\Device0";
            case kAlignment:
                break;
        }
        return kAlignmentKey;
    }
    RegKey Open(Place place) {
        RegKey key = 0;
        return reg.OpenKey(Root(place), Path(place).c_str(), &key) == ERROR_SUCCESS_ ? key : 0;
    }
};

uint32_t Word(const std::vector<uint8_t>& b) {
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// The value as the wide calls hand it out: strings widened to two bytes a character.
std::vector<uint8_t> WideBytes(const fuzz::Input::Value& value) {
    if (value.type != REG_SZ_ && value.type != REG_EXPAND_SZ_ && value.type != 7)
        return value.bytes;
    std::vector<uint8_t> wide;
    for (uint8_t b : value.bytes) {
        wide.push_back(b);
        wide.push_back(0);
    }
    return wide;
}

// ReadString into a buffer of exactly `size` bytes, against what is stored.
void CheckReadString(Machine& m, RegKey key, size_t slot, uint32_t size) {
    std::vector<char> buffer(size ? size : 1, 'x');
    const bool read = ReadString(m.reg, key, kSlots[slot].name, buffer.data(), size);
    const fuzz::Input::Value& value = m.values[slot];
    const bool isText = m.present[slot] && value.type == REG_SZ_;
    if (!read) {
        FUZZ_CHECK(size == 0 || buffer[0] == 0);
        // A text whose stored bytes fit the buffer with a byte to spare always reads.
        FUZZ_CHECK(!(isText && value.bytes.size() < size));
        return;
    }
    const size_t length = fuzz::TextLength(value.bytes);
    FUZZ_CHECK(isText && length + 1 <= size);
    FUZZ_CHECK(buffer[length] == 0);
    FUZZ_CHECK(length == 0 || std::memcmp(buffer.data(), value.bytes.data(), length) == 0);
}

void CheckNumbers(Machine& m, RegKey key, size_t slot) {
    const fuzz::Input::Value& value = m.values[slot];
    for (uint32_t type : {REG_BINARY_, REG_DWORD_}) {
        uint32_t number = 0xA5A5A5A5u;
        const bool read = ReadNumber(m.reg, key, kSlots[slot].name, type, &number);
        const bool expected = m.present[slot] && value.type == type && value.bytes.size() == 4;
        FUZZ_CHECK(read == expected);
        FUZZ_CHECK(!read || number == Word(value.bytes));
    }
    // The hook library's reader: 4 bytes of any type.
    std::u16string wideName;
    for (const char* c = kSlots[slot].name; *c; ++c)
        wideName.push_back(static_cast<char16_t>(*c));
    uint32_t number = 0;
    const bool read = ReadNumberW(m.reg, key, wideName.c_str(), &number);
    const std::vector<uint8_t> wide = WideBytes(value);
    FUZZ_CHECK(read == (m.present[slot] && wide.size() == 4));
    FUZZ_CHECK(!read || number == Word(wide));
}

void CheckSelection(const SelectionState& s) {
    for (const char* text : {s.openedPrimary, s.openedSecondary, s.leftChoice, s.rightChoice})
        FUZZ_CHECK(fuzz::Terminated(text, kModelNameChars));
    FUZZ_CHECK(s.isLeft == 0 || s.isLeft == 1);
    FUZZ_CHECK(s.openedIsLeft >= 0 && s.openedIsLeft <= 2);
    FUZZ_CHECK(s.chosenTv <= 2 && s.offeredTv <= 3);
}

void RunDialogs(Machine& m, fuzz::Input& in, bool dual) {
    SimSystem sys;
    sys.environment["SYSTEMROOT"] = "C:\\WINNT";
    SimProfile profile;
    profile.SetFile(kDatabase,
                    "[MONITOR]\nGeneric 640x480=1\n31kHz VGA=1\nOrvel 17 single=1\n"
                    "[31kHz VGA]\nX_SIZE=320\nY_SIZE=240\n");
    SimDialog ui;
    AppletState state;
    Applet applet{m.reg, sys, profile, ui, state};
    const int32_t IDOK_ = 1;
    const int32_t IDCANCEL_ = 2;
    ui.AddControls({IDC_HIDDEN_GROUP, IDC_LEFT_GROUP, IDC_RIGHT_GROUP, IDC_BOOT_LEFT,
                    IDC_BOOT_RIGHT, IDC_LEFT_LIST, IDC_RIGHT_LIST, IDC_TV_AVAILABLE, IDC_TV_GROUP,
                    IDC_PAL, IDC_NTSC, IDOK_, IDCANCEL_, IDC_MAXIMIZE_ALIGNMENT,
                    IDC_DIALOG_ALIGNMENT});

    const uint32_t count = CountApplets(applet);
    FUZZ_CHECK(count <= 2 && m.reg.OpenKeyCount() == 0);
    CheckAdminRights(applet);
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0);
    TwinControlDlgProc(applet, kDialog, WM_INITDIALOG_, 0);
    FUZZ_CHECK((state.twinFlags & ~kTwinFlagsKept) == 0 && m.reg.OpenKeyCount() == 0);

    MonitorSelectDlgProc(applet, kDialog, WM_INITDIALOG_, 0, dual);
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0);
    CheckSelection(state.selection);
    static const int32_t kCommands[] = {IDC_BOOT_LEFT,    IDC_BOOT_RIGHT, IDC_PAL, IDC_NTSC,
                                        IDC_TV_AVAILABLE, IDC_LEFT_LIST,  IDOK_,   IDCANCEL_};
    for (int i = 0; i < 8 && in.Left(); ++i) {
        const int32_t id = kCommands[in.Byte() % 8];
        if (id == IDC_TV_AVAILABLE)
            ui.At(id).checked = !ui.At(id).checked;
        if (id == IDC_LEFT_LIST)
            ui.At(IDC_LEFT_LIST).selection = static_cast<int32_t>(in.Byte() % 4) - 1;
        MonitorSelectDlgProc(applet, kDialog, WM_COMMAND_, static_cast<uintptr_t>(id), dual);
        FUZZ_CHECK(m.reg.OpenKeyCount() == 0);
        CheckSelection(state.selection);
    }
}

class QuietShell final : public ReminderShell {
  public:
    bool CreateOwnerWindow(const OwnerWindow&) override { return true; }
    bool ShowReminder(int) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    Machine m;
    // Board: bit 0 a second adapter, bit 1 two heads (service "lumora2"), bit 2 the maker's key,
    // bit 3 the second settings key.
    const uint8_t board = in.Byte();
    if (board & 2)
        m.service = "lumora2";
    const std::string device = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\";
    m.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                    device + m.service + "\\Device0");
    if (board & 1)
        m.reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue,
                        device + m.service + "\\Device1");
    m.reg.AddKey(HKEY_LOCAL_MACHINE_, m.Path(kFirst));
    if (board & 4)
        m.reg.AddKey(HKEY_LOCAL_MACHINE_, m.Path(kMaker));
    if (board & 8)
        m.reg.AddKey(HKEY_LOCAL_MACHINE_, m.Path(kSecond));
    for (size_t i = 0; i < kSlotCount; ++i) {
        m.present[i] = in.Flag();
        m.values[i] = in.RegistryValue();
        const Place place = kSlots[i].place;
        const bool keyThere = place == kFirst || place == kAlignment ||
                              (place == kMaker && (board & 4)) || (place == kSecond && (board & 8));
        m.present[i] = m.present[i] && keyThere;
        if (m.present[i])
            m.reg.SetRaw(m.Root(place), m.Path(place), kSlots[i].name, m.values[i].type,
                         m.values[i].bytes);
    }

    // The plain readers, on every value.
    for (size_t i = 0; i < kSlotCount; ++i) {
        const RegKey key = m.Open(kSlots[i].place);
        if (!key)
            continue;
        CheckNumbers(m, key, i);
        for (uint32_t room : {0u, 1u, 4u, kMonitorNameBytes, kModelNameChars, kStoredNameChars})
            CheckReadString(m, key, i, room);
        m.reg.CloseKey(key);
    }
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0);

    // The applet's readers on the settings keys.
    const RegKey first = m.Open(kFirst);
    const RegKey second = m.Open(kSecond);
    std::vector<char> text(kStoredNameChars);
    for (MonitorRole role : {MonitorRole::kPrimary, MonitorRole::kSecondary}) {
        const bool read = ReadStoredMonitor(m.reg, first, role, text.data());
        FUZZ_CHECK(fuzz::Terminated(text.data(), kStoredNameChars) && (read || text[0] == 0));
    }
    const bool placeholder = PrimaryIsPlaceholder(m.reg, first, second, text.data());
    FUZZ_CHECK(fuzz::Terminated(text.data(), kStoredNameChars));
    FUZZ_CHECK(!placeholder || IsPlaceholder(text.data()));
    const int32_t side = ReadSide(m.reg, first);
    const size_t sideSlot = 2;
    const bool sideStored = m.present[sideSlot] && m.values[sideSlot].type == REG_DWORD_ &&
                            m.values[sideSlot].bytes.size() == 4 &&
                            Word(m.values[sideSlot].bytes) < 2;
    FUZZ_CHECK(side == (sideStored ? static_cast<int32_t>(Word(m.values[sideSlot].bytes)) : -1));
    ReadTvSettings(m.reg, first);
    m.reg.CloseKey(first);
    if (second)
        m.reg.CloseKey(second);
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0);

    // The reminder's readers: the stage reads as stored when it is a 4-byte REG_DWORD, else 2.
    DiscoveryRecord adapter = DiscoverAdapters(m.reg, kReminderDiscovery);
    FUZZ_CHECK(adapter.found);
    const size_t stageSlot = 8;
    const bool stageStored = m.present[stageSlot] && m.values[stageSlot].type == REG_DWORD_ &&
                             m.values[stageSlot].bytes.size() == 4;
    FUZZ_CHECK(
        ReadReminderStage(m.reg, adapter.driverPath) ==
        (stageStored ? static_cast<int32_t>(Word(m.values[stageSlot].bytes)) : kStageNothingDue));
    IsMonitorReminderDue(m.reg, adapter);
    IsTvReminderDue(m.reg, adapter);
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0);

    // The dialogs over the same values, single or dual as the input says, then the reminder
    // after whatever they stored.
    RunDialogs(m, in, (board & 0x10) != 0);
    SimSystem sys;
    QuietShell shell;
    RunReminder(m.reg, m.reg, sys, shell);
    FUZZ_CHECK(m.reg.OpenKeyCount() == 0 && sys.OpenHandleCount() == 0);
    return 0;
}
