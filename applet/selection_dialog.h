// The monitor selection dialogs (single and dual adapter), the restart prompt and the restart.
#pragma once

#include <cstdint>

#include "applet/applet_state.h"

constexpr char kRestartNowText[] = "RESTART NOW";
constexpr char kCancelText[] = "CANCEL";
// The restart prompt's results: "Restart &Later" and "&Restart Now".
constexpr intptr_t kRestartLater = 0;
constexpr intptr_t kRestartNow = 18193;

// Shown when Windows NT refuses the restart (the shutdown privilege not granted, or
// ExitWindowsEx failing): the selection is stored, the restart is left to the user.
constexpr char kRestartFailedText[] =
    "Windows NT could not be restarted.\nPlease restart Windows NT yourself so that the new "
    "monitor settings can take effect.";
constexpr char kRestartFailedCaption[] = "Monitor Settings Change";

constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";
constexpr uint32_t EWX_REBOOT_ = 2;

// The dialog procedures the applet names to the dialog port.
enum AppletProcedure : uint32_t {
    kSingleScreenProcedure = 1,
    kDualScreenProcedure = 2,
    kRestartProcedure = 3,
    kTwinControlProcedure = 4,
};

// Both selection dialogs: `dual` is false for template 103, true for 104. The result of a dialog
// procedure: nonzero when the message was handled (WM_INITDIALOG: 1 lets the dialog manager set
// the focus).
intptr_t MonitorSelectDlgProc(Applet& applet, WindowHandle dialog, uint32_t message,
                              uintptr_t wParam, bool dual);
// True when the restart prompt is to be offered.
bool SelectionChanged(const SelectionState& selection);
// Template 105: "&Restart Now" (IDC_RESTART_NOW) ends it with kRestartNow; id 1 ("Restart
// &Later") and id 2 (Esc and the close box) with kRestartLater.
intptr_t RestartDlgProc(DialogPort& ui, WindowHandle dialog, uint32_t message, uintptr_t wParam);
// Enables the shutdown privilege and asks for a restart of the operating system; false when
// the privilege could not be enabled or the restart was refused.
bool RequestReboot(AppletSystem& sys);
