// Moving the desktop between the monitor and the TV output: an interim 640 x 480 mode while the
// driver changes the output, then the mode the driver kept for the new output.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

enum class LastModeKind { kTv, kMonitor };

// A mode the driver kept for one output ("LastTVMode" / "LastMonMode").
struct LastMode {
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t refreshRate;
};

constexpr LastMode kDefaultLastMode = {640, 480, 8, 1};
constexpr char kDisplayPropertiesTitle[] = "Display Properties";
// The interim mode's refresh rate: 640 x 480 at 60 Hz is the one mode every monitor and every
// TV encoder of the board can show.
constexpr uint32_t kInterimRefreshRate = 60;
// The pause that gives the driver time to settle between the steps of a switch.
constexpr uint32_t kTvSwitchPause = 50;  // milliseconds
// How long the mouse move after the way back waits for each window; a window that stopped
// taking messages is skipped at once.
constexpr uint32_t kMouseMoveBroadcastTimeout = 3000;  // milliseconds

// The mode kept for the output; the defaults where the value is missing, is not REG_BINARY, or
// does not reach a field (a value shorter than 20 bytes).
LastMode ReadLastMode(Tray& tray, LastModeKind kind);

// Moves the desktop onto the TV (on) or back onto the monitor. Stops without a change when the
// driver does not answer, the output is already the requested one, the system's "Display
// Properties" window is open (it is asked to close) or the interim mode is refused.
void SwitchTvOutput(Tray& tray, bool on);
