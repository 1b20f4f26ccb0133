// The TV part of the selection dialogs: "TV Set Available", the standard's group and its two
// radio buttons, kept in line with the registry and the box.
#pragma once

#include <cstdint>

#include "applet/applet_state.h"

constexpr uint32_t kTvPal = 1;
constexpr uint32_t kTvNtsc = 2;

void RefreshTvControls(Applet& applet, WindowHandle dialog);
// WM_COMMAND from 1011 (PAL), 1012 (NTSC) or 1014 (the box).
void HandlePalCommand(Applet& applet, WindowHandle dialog);
void HandleNtscCommand(Applet& applet, WindowHandle dialog);
void HandleTvBoxCommand(Applet& applet, WindowHandle dialog);
