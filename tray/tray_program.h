// The tray program as a running process: single instance, the hidden main window's messages,
// the icon with its tooltip, the menu commands and the About box.
#pragma once

#include <cstdint>

#include "tray/resource.h"
#include "tray/tray_state.h"

constexpr char kTrayMutexName[] = "Orvelcom - Zenpick";
constexpr uint16_t kMainWindowClassAtom = 1015;
constexpr char kMainWindowTitle[] = ZENPICK_TITLE;
constexpr uint32_t kMainWindowStyle = 0x00CA0000;  // WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
constexpr uint32_t kTrayIconId = 1006;
constexpr uint32_t kTrayCallbackMessage = 32868;
constexpr char kResolutionsMenuText[] = "&Resolutions";
constexpr char kDisplayPropertiesCommand[] = "\\control.exe";
constexpr char kDisplayPropertiesArguments[] = " desk.cpl @0,3";
// Sent by the shell to every top-level window when it has made the taskbar again (after Explorer
// ended): the icons it held are gone and are added anew.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

// The icon is never lost for good. A failed add is tried again every 5 s for two minutes; every
// 30 s the unchanged icon is handed to the shell again, which finds an icon that the shell lost
// without telling (a taskbar made anew by a shell that sends no "TaskbarCreated").
constexpr uint32_t kIconRetryTimerId = 2;
constexpr uint32_t kIconRetryPeriod = 5000;  // milliseconds
constexpr uint32_t kIconRetries = 24;
constexpr uint32_t kIconCheckTimerId = 3;
constexpr uint32_t kIconCheckPeriod = 30000;

constexpr uint32_t kCloseDialogCommand = 2;  // EndDialog (main window, 1)
constexpr uint32_t kHideCommand = 3;         // hides the main window

// WinMain: the single-instance check, the main window and the message loop. Returns the exit
// code: the quit message's wParam, -1 when another copy runs, 1, 2 or 3 when the mutex, the
// window class or the window cannot be made. The main window is destroyed before the end, so
// the icon goes with it whichever way the loop ended.
int32_t RunTrayProgram(Tray& tray);

// The main window's procedure; false when the message goes on to the default window procedure
// (which also happens after a command or a tray notification was handled).
bool MainWndProc(Tray& tray, WindowHandle window, uint32_t message, uintptr_t wParam,
                 intptr_t lParam);
// The About box's procedure: OK closes the box, EXIT ends the program, nothing else closes it.
intptr_t AboutDlgProc(Tray& tray, WindowHandle dialog, uint32_t message, uintptr_t wParam);

// What a menu command id does (ids 32878 + i for the modes, then the fixed commands).
void HandleTrayCommand(Tray& tray, WindowHandle window, uint32_t id);
// The top of the menu for a click at cursorY: moved up while the TV output is in use.
int32_t TrayMenuTop(Tray& tray, int32_t cursorY);
// A full refresh when the screen's depth, size or refresh differ from the display state.
void CheckDisplayChange(Tray& tray, WindowHandle window);
// Starts the system's Display properties.
void OpenDisplayProperties(Tray& tray);

// The icon's tooltip for the display state: "%d x %d, %d Bpp @ %2d Hz" (and " - Zoom ON") on the
// board's driver at a known refresh rate, else "%d x %d, %d Bpp".
void FormatTrayTip(Tray& tray, char* tip);
// Refreshes the display state and hands the icon with its tooltip to the shell (NIM_ADD,
// NIM_MODIFY or NIM_DELETE), as NotifyTrayIcon does.
bool UpdateTrayIcon(Tray& tray, WindowHandle window, uint32_t action);
// Hands the icon with the last tooltip to the shell. A modify that fails (the shell holds no
// icon of ours) is followed by an add; an add that fails starts the retry timer.
bool NotifyTrayIcon(Tray& tray, WindowHandle window, uint32_t action);
// The tooltip, the catalogue and the menu, rebuilt in that order.
void RefreshAll(Tray& tray, WindowHandle window);
