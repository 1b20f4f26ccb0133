// The pan-stop button: a small always-on-top window that shows GO or STOP for the driver's pan
// stop, switches it on a click, can be dragged within the visible part of the desktop and, while
// the pan stop is off, follows the zoomed view.
#pragma once

#include <cstdint>

#include "tray/resource.h"
#include "tray/tray_state.h"

constexpr char kZoomButtonClass[] = "ZOOMBUTTONWINDOW";
constexpr char kZoomButtonTitle[] = "STOP";
constexpr uint32_t kZoomButtonStyle = 0x00C80000;  // WS_CAPTION | WS_SYSMENU
constexpr int32_t kZoomButtonWidth = 53;
constexpr int32_t kZoomButtonHeight = 48;
constexpr uint32_t ZOOM_TIMER_ID = 1;
constexpr uint32_t kZoomTimerPeriod = 250;  // milliseconds
constexpr uint32_t kPanStopCommand = 1022;

// Creates the button when the zoom counts and is on, or when the first mode is an unequal
// two-screen mode; destroys it otherwise.
void UpdateZoomButton(Tray& tray, WindowHandle owner, bool zoomCounts);
// Registers the class and creates the button at the cursor, clamped into the work area. Does
// nothing more when the class cannot be registered, which is the case while the button exists.
void CreateZoomButton(Tray& tray, WindowHandle owner);
// Destroys the button if there is one.
void DestroyZoomButton(Tray& tray);

// The button's window procedure. WM_PAINT is painted through the shell; no message is meant
// for the default window procedure.
intptr_t ZoomButtonWndProc(Tray& tray, WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
