#include "tray/tv_switch.h"

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "tray/escape_client.h"
#include "tray/mode_switch.h"

namespace {

constexpr uint32_t kLastModeBytes = 24;
constexpr uint32_t kWindowTitleSize = 256;

uint32_t WordAt(const uint8_t* bytes, uint32_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

DevMode ModeRequest(uint32_t fields, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                    uint32_t refreshRate) {
    DevMode mode = {};
    mode.dmSize = sizeof(DevMode);
    mode.dmFields = fields;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmDisplayFrequency = refreshRate;
    return mode;
}

// Asks the system's "Display Properties" window, if open, to close; true when it was found.
// The walk ends at the end of the list or when it comes back to the first window.
bool CloseDisplayProperties(WindowPort& windows) {
    const WindowHandle first = windows.TopWindow();
    for (WindowHandle window = first; window;) {
        char title[kWindowTitleSize];
        windows.WindowTitle(window, title, sizeof(title));
        if (windows.CompareText(title, kDisplayPropertiesTitle) == 0) {
            windows.PostWindowMessage(window, WM_CLOSE_, 0, 0);
            return true;
        }
        window = windows.NextWindow(window);
        if (window == first)
            break;
    }
    return false;
}

bool HasArea(const Rect& r) {
    return r.right > r.left && r.bottom > r.top;
}

}  // namespace

LastMode ReadLastMode(Tray& tray, LastModeKind kind) {
    LastMode mode = kDefaultLastMode;
    RegistryReader& reg = tray.ports.reg;
    RegKey key = 0;
    if (!OpenTraySettingsKey(reg, SettingsKeyPath::kServiceDevice0, &key))
        return mode;
    uint8_t bytes[kLastModeBytes] = {};
    uint32_t type = 0;
    uint32_t size = sizeof(bytes);
    const char* name = kind == LastModeKind::kTv ? kLastTvMode : kLastMonMode;
    if (reg.QueryValue(key, name, &type, bytes, &size) == ERROR_SUCCESS_ && type == REG_BINARY_) {
        // Only the fields that the stored value covers; the others keep their defaults.
        uint32_t* fields[] = {&mode.width, &mode.height, &mode.bitsPerPixel, &mode.refreshRate};
        for (uint32_t i = 0; i < 4; ++i) {
            const uint32_t offset = 4 + 4 * i;
            if (offset + 4 <= size)
                *fields[i] = WordAt(bytes, offset);
        }
    }
    reg.CloseKey(key);
    return mode;
}

void SwitchTvOutput(Tray& tray, bool on) {
    DisplayPort& display = tray.ports.display;
    WindowPort& windows = tray.ports.windows;
    TraySystem& sys = tray.ports.sys;

    const LastMode last = ReadLastMode(tray, on ? LastModeKind::kTv : LastModeKind::kMonitor);
    const DevMode target = ModeRequest(DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_, last.width,
                                       last.height, last.bitsPerPixel, last.refreshRate);

    uint32_t words[kTvWords] = {TV_QUERY};
    if (!SendEscape(tray, ESC_TV_CONTROL, words, kTvWords))
        return;
    const bool tvActive = (words[2] & 0xFFFF) != 0;
    if (tvActive == on)
        return;
    if (CloseDisplayProperties(windows))
        return;  // the command has to be chosen again once the window is gone

    const DisplayState& state = tray.state;
    const uint32_t interimDepth =
        state.width == 640 && state.height == 480 && state.bitsPerPixel == 8 ? 16 : 8;
    DevMode interim =
        ModeRequest(DM_BITSPERPEL_ | DM_PELSWIDTH_ | DM_PELSHEIGHT_ | DM_DISPLAYFREQUENCY_, 640,
                    480, interimDepth, kInterimRefreshRate);
    if (display.ChangeSettings(interim, CDS_TEST_) != DISP_CHANGE_SUCCESSFUL_)
        return;

    if (on) {
        // An area that cannot be read now is not restored later: an older one may not fit the
        // mode the desktop comes back to.
        if (!windows.GetWorkArea(&tray.savedWorkArea))
            tray.savedWorkArea = Rect{};
        words[0] = TV_QUERY;
        SendEscape(tray, ESC_TV_CONTROL, words, kTvWords);
        words[1] = TV_ACTION_ON;
        words[6] = (words[2] & 3) == 1 ? 50 : 60;  // 50 Hz for PAL alone
    } else {
        words[1] = TV_ACTION_OFF;
        words[6] = 1;
    }
    words[0] = TV_SET;
    words[3] = 640;
    words[4] = 480;
    words[5] = interimDepth;
    if (!SendEscape(tray, ESC_TV_CONTROL, words, kTvWords))
        return;

    bool sessionOnly = false;  // a mode was set that the system could not store
    if (ApplyAndStoreMode(tray, interim, &sessionOnly) != DISP_CHANGE_SUCCESSFUL_) {
        words[0] = TV_SET;
        words[1] = TV_ACTION_UNDO;
        SendEscape(tray, ESC_TV_CONTROL, words, kTvWords);
        return;
    }
    // The driver expects the mode list to be read again after the output changed.
    for (uint32_t i = 0; display.EnumMode(i, &interim); ++i) {
    }
    sys.Sleep(kTvSwitchPause);

    if (on) {
        ApplyAndStoreMode(tray, target, &sessionOnly);
    } else {
        // Without a saved work area (the TV was in use when the program started) the system's
        // own work area for the new mode stays.
        const bool restore = HasArea(tray.savedWorkArea);
        if (restore)
            windows.SetWorkArea(tray.savedWorkArea, SPIF_SENDWININICHANGE_);
        sys.Sleep(kTvSwitchPause);
        ApplyAndStoreMode(tray, target, &sessionOnly);
        sys.Sleep(kTvSwitchPause);
        if (restore)
            windows.SetWorkArea(tray.savedWorkArea, SPIF_UPDATEINIFILE_ | SPIF_SENDWININICHANGE_);
        // Lets the windows under the cursor notice the new screen.
        windows.BroadcastMessage(WM_MOUSEMOVE_, 0, static_cast<intptr_t>((last.height - 3) << 16),
                                 SMTO_ABORTIFHUNG_, kMouseMoveBroadcastTimeout);
    }
    tray.state.tvOutputOn = on;
    // Told only now: a box between the steps would hold the switch half made.
    if (sessionOnly)
        TellSessionMode(tray, tray.mainWindow);
}
