/* Zenpick's resource ids, shared by its .rc file and its logic. */
#pragma once

#define IDI_ZENPICK 102      /* class icon of the main window and the pan-stop button */
#define IDM_ZENPICK 116      /* the main window's menu bar */
#define IDD_ABOUT 125        /* the About box */
#define IDB_GO 135           /* the button while the pan stop is off */
#define IDB_STOP 137         /* the button while the pan stop is on */
#define IDI_ZENPICK_TRAY 141 /* the tray icon, loaded at 16 x 16 */
#define IDM_BLANK 109        /* the menu bar's item without text */
#define IDM_ABOUT 113        /* "&About" under "&Help" */
#define IDC_ABOUT_EXIT 1021

#define ZENPICK_TITLE "orvel Zenpick"
