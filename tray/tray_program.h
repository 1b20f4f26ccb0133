// The tray program's icon and its full refresh.
#pragma once

#include <cstdint>

#include "tray/tray_state.h"

constexpr uint32_t kTrayTipSize = 64;

// The icon's tooltip for the display state: "%d x %d, %d Bpp @ %2d Hz" (and " - Zoom ON") on the
// board's driver at a known refresh rate, else "%d x %d, %d Bpp".
void FormatTrayTip(Tray& tray, char* tip);
// Refreshes the display state and hands the icon with its tooltip to the shell (NIM_ADD,
// NIM_MODIFY or NIM_DELETE).
bool UpdateTrayIcon(Tray& tray, WindowHandle window, uint32_t action);
// The tooltip, the catalogue and the menu, rebuilt in that order.
void RefreshAll(Tray& tray, WindowHandle window);
