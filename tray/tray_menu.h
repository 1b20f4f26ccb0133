// The tray menu: the colour depths with their modes, the modes of the depth in force, the
// Display properties entry and the board's feature switches, as a model the window code renders.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

constexpr uint32_t kResolutionHeaderId = 32877;
constexpr uint32_t kFirstModeId = 32878;  // + catalogue index

// Commands after the modes, as offsets from the fixed base 32878 + N.
enum TrayCommand : uint32_t {
    kDisplaySettingsCommand = 0,
    kHardwareZoomCommand = 1,
    kVideoOptimizationOnCommand = 2,
    kVideoOptimizationOffCommand = 3,
    kVideoOptimizationAutoCommand = 4,
    kFlickerFixingCommand = 5,
    kTvModeCommand = 6,
    kGrayscaleCommand = 7,
};

// Builds the menu model from the catalogue and the display state, and has the window code
// insert it into the main window's menu bar. False when there is no menu.
bool BuildTrayMenu(Tray& tray, WindowHandle window);
// Takes the menu out of the main window's menu bar and forgets the model.
void DestroyTrayMenu(Tray& tray, WindowHandle window);

// "ValidVideoModes" with bit 31 set: the board has video optimisation. Sets videoOptimization
// to the word without bits 31 and 0, or to -1.
bool ReadValidVideoModes(Tray& tray);
// The board's driver drives the desktop, and not under a "vga" device name.
bool HasBoardFeatures(Tray& tray);
// The menu's height in pixels, as estimated by the last build.
uint32_t MenuHeightEstimate(const Tray& tray);
