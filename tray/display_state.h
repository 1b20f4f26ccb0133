// The tray program's picture of the desktop in force and of the board's features.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

// What the screen reports: bits per pixel (15 for a 5-5-5 desktop), size and refresh (0 off
// Windows NT).
struct ScreenMode {
    uint32_t bitsPerPixel;
    uint32_t width;
    uint32_t height;
    uint32_t refreshRate;
};
ScreenMode ReadScreenMode(Tray& tray, ScreenDc dc);

// Re-reads mode 0, the screen, the TV and flicker states, and keeps the zoom button only where
// an unequal two-screen mode needs it. `owner` owns a button created here.
void RefreshDisplayState(Tray& tray, WindowHandle owner);
