/* The request that menudump hands to menuspy inside the window's process: a named block of
 * shared memory and an event, both named after menudump's process id. */
#pragma once

#include <windows.h>

#define MENUSPY_MESSAGE "menuspy dump"
#define MENUSPY_REQUEST_NAME "menuspy request "
#define MENUSPY_DONE_NAME "menuspy done "
enum { MENUSPY_PENDING, MENUSPY_BUSY, MENUSPY_DONE, MENUSPY_NO_MENU, MENUSPY_NO_FILE };
struct MenuRequest {
    DWORD size; /* sizeof(struct MenuRequest), as a check that both sides agree */
    HWND window;
    volatile LONG status;
    char path[MAX_PATH];
};
