#include "tray/display_state.h"

#include "tray/escape_client.h"
#include "tray/zoom_button.h"

ScreenMode ReadScreenMode(Tray& tray, ScreenDc dc) {
    DisplayPort& display = tray.ports.display;
    ScreenMode screen;
    screen.bitsPerPixel = static_cast<uint32_t>(display.DeviceCaps(dc, BITSPIXEL_));
    screen.width = static_cast<uint32_t>(display.DeviceCaps(dc, HORZRES_));
    screen.height = static_cast<uint32_t>(display.DeviceCaps(dc, VERTRES_));
    if (screen.bitsPerPixel == 16) {
        // Windows reports 5-5-5 and 5-6-5 desktops alike: white stored with 5 bits per colour
        // leaves the pixel's top bit clear.
        uint16_t white = 0;
        if (display.ProbeWhitePixel(&white) && (white & 0x8000) == 0)
            screen.bitsPerPixel = 15;
    }
    screen.refreshRate = tray.ports.sys.PlatformId() == VER_PLATFORM_WIN32_NT_
                             ? static_cast<uint32_t>(display.DeviceCaps(dc, VREFRESH_))
                             : 0;
    return screen;
}

void RefreshDisplayState(Tray& tray, WindowHandle owner) {
    DisplayState& state = tray.state;
    if (!tray.ports.display.EnumMode(0, &state.firstMode))
        state.firstMode.dmDeviceName[0] = 0;

    const ScreenDc dc = tray.ports.display.GetScreenDc();
    const ScreenMode screen = ReadScreenMode(tray, dc);
    state.bitsPerPixel = state.firstMode.dmBitsPerPel = screen.bitsPerPixel;
    state.width = state.firstMode.dmPelsWidth = screen.width;
    state.height = state.firstMode.dmPelsHeight = screen.height;
    state.refreshRate = state.firstMode.dmDisplayFrequency = screen.refreshRate;

    if (IsTvSetAvailable(tray)) {
        state.tvOutputOn = IsTvOutputActive(tray);
        state.flickerFixingOn = IsFlickerFixingOn(tray);
    } else {
        state.tvOutputOn = false;
    }
    UpdateZoomButton(tray, owner, false);
    if (dc)
        tray.ports.display.ReleaseScreenDc(dc);
}
