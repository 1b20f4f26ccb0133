// The pan-stop button's upkeep: it exists while the hardware zoom is on or the desktop is an
// unequal two-screen mode.
#pragma once

#include "tray/tray_state.h"

// Creates the button when the zoom counts and is on, or when the first mode is an unequal
// two-screen mode; destroys it otherwise.
void UpdateZoomButton(Tray& tray, WindowHandle owner, bool zoomCounts);
// Creates the button unless it exists.
void CreateZoomButton(Tray& tray, WindowHandle owner);
// Destroys the button if there is one.
void DestroyZoomButton(Tray& tray);
