// The hook's inputs: the four sizes and "TwinControlFlag" of any type and bytes, and messages
// with any window style, rectangles, class name and pointer, through AlignmentHookProc with
// MINMAXINFO and WINDOWPOS records.
//
// Input: [setup] then [present][value] for the four sizes and the flags, then messages, each
// [kind][code][style: word][rectangle: 4 words][known flags][class: length, wide characters]
// [pointer: 2 words][record: 10 words].
#include <cstring>
#include <string>

#include "adapter/registry_layout.h"
#include "alignhook/hook_library.h"
#include "fuzz/fuzz_input.h"
#include "platform/sim/sim_hook.h"
#include "platform/sim/sim_registry.h"

namespace {

constexpr char kSettingsKey[] = "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device0";
constexpr uintptr_t kWindow = 0x500;

uint32_t WideWord(const fuzz::Input::Value& value, bool* fits) {
    std::vector<uint8_t> bytes = value.bytes;
    if (value.type == REG_SZ_ || value.type == REG_EXPAND_SZ_ || value.type == 7) {
        bytes.clear();
        for (uint8_t b : value.bytes) {
            bytes.push_back(b);
            bytes.push_back(0);
        }
    }
    *fits = bytes.size() == 4;
    return *fits ? bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24
                 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    SimRegistry reg;
    SimHook port;
    // Setup: bit 0 a two-head board (else one head and a second adapter when bit 1 is set).
    const uint8_t setup = in.Byte();
    const std::string map = "\\REGISTRY\\Machine\\System\\CurrentControlSet\\Services\\";
    reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kFirstDeviceValue,
                  map + (setup & 1 ? "lumora\\Device2" : "lumora\\Device0"));
    if (setup & 1)
        reg.AddKey(HKEY_LOCAL_MACHINE_, "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device2");
    if (setup & 2)
        reg.SetString(HKEY_LOCAL_MACHINE_, kDeviceMapKey, kSecondDeviceValue,
                      map + "lumora\\Device1");
    reg.AddKey(HKEY_LOCAL_MACHINE_, kSettingsKey);
    const std::string settingsKey =
        setup & 1 ? "SYSTEM\\CurrentControlSet\\Services\\lumora\\Device2" : kSettingsKey;
    const bool dual = (setup & 3) != 0;

    const char* names[] = {kLeftAdapterVisualXRes, kLeftAdapterVisualYRes, kRightAdapterVisualXRes,
                           kRightAdapterVisualYRes, kTwinControlFlag};
    bool found[4] = {};
    uint32_t words[5] = {};
    bool flagsRead = false;
    for (int i = 0; i < 5; ++i) {
        const bool present = in.Flag();
        const fuzz::Input::Value value = in.RegistryValue();
        if (!present)
            continue;
        if (i < 4)
            reg.SetRaw(HKEY_LOCAL_MACHINE_, settingsKey, names[i], value.type, value.bytes);
        else
            reg.SetRaw(HKEY_CURRENT_USER_, kAlignmentKey, names[i], value.type, value.bytes);
        bool fits = false;
        words[i] = WideWord(value, &fits);
        if (i == 4)
            flagsRead = fits;
        else
            found[i] = fits;
    }
    const bool all = dual && found[0] && found[1] && found[2] && found[3];

    // The settings as read: every size found, or nothing in force.
    AlignmentSettings settings;
    ReadAlignmentSettings(reg, &settings);
    FUZZ_CHECK(reg.OpenKeyCount() == 0);
    FUZZ_CHECK(settings.valid == all);
    FUZZ_CHECK((settings.controlFlags & ~kAlignmentFlagsMask) == 0);
    FUZZ_CHECK(settings.controlFlags == (all && flagsRead ? words[4] & kAlignmentFlagsMask : 0));
    if (all) {
        FUZZ_CHECK(static_cast<uint32_t>(settings.leftAdapterVisualXRes) == words[0] &&
                   static_cast<uint32_t>(settings.rightAdapterVisualXRes) == words[2]);
    }

    HookLibrary lib;
    FUZZ_CHECK(AttachHookLibrary(port, reg, 0x10000000, &lib));
    StartHooking(port, &lib);
    FUZZ_CHECK(reg.OpenKeyCount() == 0);

    for (int n = 0; n < 16 && in.Left(); ++n) {
        const uint8_t kind = in.Byte();
        const int32_t code = static_cast<int8_t>(in.Byte()) % 2;
        SimHook::Window& window = port.windows[kWindow];
        window.style = in.Word();
        window.rect = {in.SignedWord(), in.SignedWord(), in.SignedWord(), in.SignedWord()};
        const uint8_t known = in.Byte();
        window.rectKnown = known & 1;
        port.cursorKnown = known & 2;
        window.className.clear();
        for (uint8_t i = in.Byte() % 24; i > 0; --i)
            window.className.push_back(static_cast<char16_t>(in.Half()));
        port.cursorX = in.SignedWord();
        port.cursorY = in.SignedWord();

        MinMaxInfoRecord info;
        WindowPosRecord pos;
        int32_t fields[10];
        for (int32_t& field : fields)
            field = in.SignedWord();
        std::memcpy(&info, fields, sizeof(info));
        pos = {kWindow,
               0x77,
               fields[0],
               fields[1],
               fields[2],
               fields[3],
               static_cast<uint32_t>(fields[4])};
        const MinMaxInfoRecord infoBefore = info;
        const WindowPosRecord posBefore = pos;

        HookMessageRecord record = {};
        record.window = kWindow;
        switch (kind % 4) {
            case 0:
                record.message = WM_GETMINMAXINFO_;
                record.lParam = reinterpret_cast<intptr_t>(&info);
                break;
            case 1:
                record.message = WM_WINDOWPOSCHANGING_;
                record.lParam = reinterpret_cast<intptr_t>(&pos);
                break;
            case 2:
                record.message = lib.changeMessage;
                break;
            default:
                record.message = static_cast<uint32_t>(fields[9]);
                break;
        }
        const size_t passed = port.passedOn.size();
        AlignmentHookProc(lib, port, reg, code, 0, kind & 4 ? nullptr : &record);
        FUZZ_CHECK(reg.OpenKeyCount() == 0);
        FUZZ_CHECK(port.passedOn.size() == passed + (code > 0 ? 0 : 1));

        // Only the maximised width and left edge, and only the place and the no-move flag of a
        // window, are ever changed.
        FUZZ_CHECK(info.reserved.x == infoBefore.reserved.x &&
                   info.reserved.y == infoBefore.reserved.y &&
                   info.maxSize.y == infoBefore.maxSize.y &&
                   info.maxPosition.y == infoBefore.maxPosition.y &&
                   std::memcmp(&info.minTrackSize, &infoBefore.minTrackSize, 16) == 0);
        FUZZ_CHECK(pos.window == posBefore.window && pos.insertAfter == posBefore.insertAfter &&
                   pos.cx == posBefore.cx && pos.cy == posBefore.cy);
        FUZZ_CHECK((pos.flags | SWP_NOMOVE_) == (posBefore.flags | SWP_NOMOVE_));
        const bool edited = std::memcmp(&info, &infoBefore, sizeof(info)) != 0 ||
                            std::memcmp(&pos, &posBefore, sizeof(pos)) != 0;
        FUZZ_CHECK(!edited || (code == 0 && settings.valid));
    }
    StopHooking(port, &lib);
    DetachHookLibrary(port, &lib);
    FUZZ_CHECK(port.OpenBlockHandles() == 0 && port.MappedViews() == 0);
    return 0;
}
