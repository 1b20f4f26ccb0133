// Resource and control ids of lumora2.cpl, shared by its resource script and its code.
#pragma once

// Icons.
#define IDI_MONITOR_SELECT 100
#define IDI_TWIN_CONTROL 400
#define IDI_RESTART 106

// Strings: the applets' names and descriptions.
#define IDS_MONITOR_SELECT_NAME 101
#define IDS_MONITOR_SELECT_INFO 102
#define IDS_TWIN_CONTROL_NAME 401
#define IDS_TWIN_CONTROL_INFO 402

// Dialog templates.
#define IDD_SINGLE_SCREEN 103
#define IDD_DUAL_SCREEN 104
#define IDD_RESTART 105
#define IDD_TWIN_CONTROL 403

// Controls of the selection dialogs.
#define IDC_LEFT_GROUP 1001
#define IDC_LEFT_LIST 1002
#define IDC_RIGHT_GROUP 1004
#define IDC_RIGHT_LIST 1005
#define IDC_BOOT_LEFT 1007
#define IDC_BOOT_RIGHT 1008
#define IDC_PAL 1011
#define IDC_NTSC 1012
#define IDC_TV_GROUP 1013
#define IDC_TV_AVAILABLE 1014
#define IDC_HIDDEN_GROUP 1015
// The button that restarts Windows NT: "&Restart Now" in the restart prompt, and button 2 of
// the dual-adapter dialog while it reads "RESTART NOW". Esc and the close box send id 2, never
// this one.
#define IDC_RESTART_NOW 1016

// Controls of the alignment options dialog.
#define IDC_TWIN_OK 500
#define IDC_TWIN_CANCEL 501
#define IDC_MAXIMIZE_ALIGNMENT 502
#define IDC_DIALOG_ALIGNMENT 504
