// "LastTVMode" and "LastMonMode" of any type and bytes: what ReadLastMode makes of them, and the
// switches onto the TV and back that carry them to the mode change.
//
// Input: [flags] then [present][value] for "LastTVMode" and for "LastMonMode".
#include <string>

#include "adapter/registry_layout.h"
#include "fuzz/tray_machine.h"
#include "tray/display_state.h"
#include "tray/escape_client.h"
#include "tray/tv_switch.h"

namespace {

// The mode kept for an output: the 24-byte record's words 1 to 4 as far as a REG_BINARY value
// that fits the record covers them, the defaults for the rest.
LastMode Expected(bool present, const fuzz::Input::Value& value) {
    LastMode mode = kDefaultLastMode;
    if (!present || value.type != REG_BINARY_ || value.bytes.size() > 24)
        return mode;
    uint32_t* fields[] = {&mode.width, &mode.height, &mode.bitsPerPixel, &mode.refreshRate};
    for (size_t i = 0; i < 4; ++i) {
        const size_t at = 4 + 4 * i;
        if (at + 4 <= value.bytes.size()) {
            const uint8_t* b = value.bytes.data() + at;
            *fields[i] = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        }
    }
    return mode;
}

bool Same(const LastMode& a, const LastMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.refreshRate == b.refreshRate;
}

// After a completed switch the last mode change asked for is the kept mode of the new output.
void CheckTarget(const SimBoard& board, const LastMode& mode) {
    FUZZ_CHECK(!board.changes.empty());
    const DevMode& asked = board.changes.back().mode;
    FUZZ_CHECK(board.changes.back().flags == CDS_UPDATEREGISTRY_);
    FUZZ_CHECK(asked.dmSize == sizeof(DevMode));
    FUZZ_CHECK(asked.dmFields == (DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_));
    FUZZ_CHECK(asked.dmPelsWidth == mode.width && asked.dmPelsHeight == mode.height &&
               asked.dmBitsPerPel == mode.bitsPerPixel &&
               asked.dmDisplayFrequency == mode.refreshRate);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    fuzz::TrayMachine m;
    const uint8_t flags = in.Byte();
    const std::string key = m.board.SettingsKey();
    bool present[2];
    fuzz::Input::Value values[2];
    const char* names[2] = {kLastTvMode, kLastMonMode};
    for (int i = 0; i < 2; ++i) {
        present[i] = in.Flag();
        values[i] = in.RegistryValue();
        if (present[i])
            m.reg.SetRaw(HKEY_LOCAL_MACHINE_, key, names[i], values[i].type, values[i].bytes);
        else
            m.reg.RemoveValue(HKEY_LOCAL_MACHINE_, key, names[i]);
    }
    const LastMode tv = Expected(present[0], values[0]);
    const LastMode monitor = Expected(present[1], values[1]);
    FUZZ_CHECK(Same(ReadLastMode(m.tray, LastModeKind::kTv), tv));
    FUZZ_CHECK(Same(ReadLastMode(m.tray, LastModeKind::kMonitor), monitor));
    m.CheckReleased();

    // The interim mode is offered; the kept modes need not be.
    m.board.AddMode(640, 480, 8, 60);
    m.board.AddMode(640, 480, 16, 60);
    m.board.AddMode(1024, 768, 16, 75);
    if (flags & 1)
        m.board.screen = {8, 640, 480, 60};
    if (flags & 2)
        m.windows.windows.push_back({0x300, kDisplayPropertiesTitle, {0, 0, 400, 300}});
    if (flags & 4)
        m.windows.workArea = {m.windows.workArea.left, 0, -1, 0};
    RefreshDisplayState(m.tray, fuzz::kMainWindow);
    m.CheckReleased();

    SwitchTvOutput(m.tray, true);
    m.CheckReleased();
    if (m.tray.state.tvOutputOn)
        CheckTarget(m.board, tv);
    SwitchTvOutput(m.tray, false);
    m.CheckReleased();
    // Only a completed switch back broadcasts the mouse move, at its very end.
    if (!m.windows.log.empty() && m.windows.log.back().rfind("broadcast", 0) == 0) {
        CheckTarget(m.board, monitor);
        const uint32_t y = monitor.height - 3;
        FUZZ_CHECK(m.windows.log.back() ==
                   "broadcast 0x200 0 " +
                       std::to_string(static_cast<intptr_t>(static_cast<uint32_t>(y << 16))) +
                       " smto 2 3000");
    }
    return 0;
}
