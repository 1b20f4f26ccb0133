// The timing database with any bytes as the file's contents: the model list of both selection
// dialogs and every listed model's sizes, through the profile reader's exact counts and cuts;
// then both dialogs open on it and store a choice.
//
// Input: [flags][length - 1: 2, with flag 2][model: length byte, bytes][file bytes].
#include <cstring>
#include <string>

#include "adapter/registry_layout.h"
#include "applet/applet_entry.h"
#include "applet/monitor_database.h"
#include "applet/resource.h"
#include "applet/selection_dialog.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace {

constexpr char kDatabase[] = "C:\\WINNT\\system32\\drivers\\orvel\\timing\\monitor.ini";
constexpr char kSettings[] = "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0";
constexpr WindowHandle kDialog = 0x1234;

void CheckList(const MonitorList& list, bool singleDialog) {
    FUZZ_CHECK(list.count <= kKeyListChars / 2);
    for (uint32_t i = 0; i < list.count; ++i) {
        FUZZ_CHECK(list.offsets[i] < kKeyListChars);
        FUZZ_CHECK(i == 0 || list.offsets[i] > list.offsets[i - 1]);
        const char* name = list.Name(i);
        const size_t room = kKeyListChars - list.offsets[i];
        FUZZ_CHECK(fuzz::Terminated(name, room));
        const size_t length = strnlen(name, room);
        FUZZ_CHECK(length >= 1 && length < kModelNameChars);
        FUZZ_CHECK(!singleDialog || (!std::strstr(name, "single") && !std::strstr(name, "SINGLE")));
    }
}

void CheckSize(ProfilePort& profile, const char* model, const char* key) {
    uint32_t size = 0xA5A5A5A5u;
    if (!ReadMonitorSize(profile, kDatabase, model, key, &size))
        FUZZ_CHECK(size == 0xA5A5A5A5u);
}

// A dialog opened on the database: every listed name reaches its lists whole, and OK stores the
// first one with its sizes.
void RunDialog(const std::string& file, bool dual) {
    SimRegistry reg;
    SimSystem sys;
    sys.environment["SYSTEMROOT"] = "C:\\WINNT";
    SimProfile profile;
    profile.SetFile(kDatabase, file);
    SimDialog ui;
    AppletState state;
    Applet applet{reg, sys, profile, ui, state};
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                  "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\lumora\\Device0");
    reg.AddKey(HKEY_LOCAL_MACHINE_, kSettings);
    reg.SetDword(HKEY_LOCAL_MACHINE_, kSettings, kPrimaryIsLeft, 1);
    ui.AddControls({IDC_LEFT_LIST, IDC_RIGHT_LIST, IDC_BOOT_LEFT, IDC_BOOT_RIGHT, 1, 2});
    CountApplets(applet);
    const size_t beeps = sys.beeps.size();
    const intptr_t opened = MonitorSelectDlgProc(applet, kDialog, WM_INITDIALOG_, 0, dual);
    FUZZ_CHECK(opened == 1 || sys.beeps.size() == beeps + 1);
    if (opened != 1)
        return;
    for (int32_t list : {IDC_LEFT_LIST, IDC_RIGHT_LIST}) {
        const auto& items = ui.At(list).items;
        FUZZ_CHECK(items.size() == (list == IDC_LEFT_LIST || dual ? state.list.count : 0));
        for (size_t i = 0; i < items.size(); ++i)
            FUZZ_CHECK(items[i] == state.list.Name(static_cast<uint32_t>(i)));
        if (!items.empty())
            ui.At(list).selection = 0;
    }
    MonitorSelectDlgProc(applet, kDialog, WM_COMMAND_, 1, dual);
    FUZZ_CHECK(reg.OpenKeyCount() == 0);
    if (state.list.count) {
        uint32_t type = 0;
        SimRegistry::Bytes stored;
        FUZZ_CHECK(
            reg.GetRaw(HKEY_LOCAL_MACHINE_, kSettings, kPrimarySelectedMonitor, &type, &stored));
        FUZZ_CHECK(type == REG_SZ_ && std::string(stored.begin(), stored.end()) ==
                                          std::string(state.list.Name(0)) + '\0');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t flags = in.Byte();
    // The file: the rest of the input, or with flag 2 that repeated to a length of up to 64 KiB.
    const size_t length = flags & 2 ? in.Half() + size_t{1} : 0;
    const std::vector<uint8_t> model = in.Bytes(in.Byte() % 64, 64);
    const std::vector<uint8_t> bytes = in.Bytes(length ? length : in.Left(), in.Left());
    const std::string file(bytes.begin(), bytes.end());

    SimSystem sys;
    SimProfile profile;
    profile.SetFile(kDatabase, file);
    for (bool single : {true, false}) {
        MonitorList list;
        const size_t beeps = sys.beeps.size();
        const bool loaded = LoadMonitorList(sys, profile, kDatabase, single, &list);
        FUZZ_CHECK(sys.beeps.size() == beeps + (loaded ? 0 : 1));
        FUZZ_CHECK(loaded || list.count == 0);
        CheckList(list, single);
        // The sizes of the first models (the reader parses the whole file for each).
        for (uint32_t i = 0; i < list.count && i < 4; ++i) {
            CheckSize(profile, list.Name(i), kXSizeKey);
            CheckSize(profile, list.Name(i), kYSizeKey);
        }
    }
    const std::string name(model.begin(), model.end());
    CheckSize(profile, name.c_str(), kXSizeKey);
    CheckSize(profile, name.c_str(), kYSizeKey);

    RunDialog(file, (flags & 1) != 0);
    return 0;
}
