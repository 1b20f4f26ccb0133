/* Nudgel's resource ids and texts, shared by its .rc file and its logic. */
#pragma once

#define IDI_NUDGEL 129
#define IDD_MONITOR_REMINDER 125
#define IDD_TV_REMINDER 130
#define IDC_START_SELECTION 1
#define IDC_REMINDER_ICON 1021

#define REMINDER_TITLE "orvel Driverinstallation"
#define REMINDER_BUTTON_TEXT "Start Monitorselection"
#define MONITOR_REMINDER_TEXT "No Monitor selected. You are not able to change Resolutions."
#define TV_REMINDER_TEXT "No TV Standard Selected. You are not able to use TV out."
#define REMINDER_NOTICE_TEXT "Orvelcom display driver setup"
