/* The request that soak.exe hands to soakspy.dll inside another process: a named block of
 * shared memory and an event, both named after soak.exe's process id. */
#pragma once

#include <windows.h>

#include "objcount.h"

#define SOAKSPY_MESSAGE "soakspy count"
#define SOAKSPY_REQUEST_NAME "soakspy request "
#define SOAKSPY_DONE_NAME "soakspy done "
enum { SOAKSPY_PENDING, SOAKSPY_BUSY, SOAKSPY_DONE, SOAKSPY_FAILED };
struct SoakRequest {
    DWORD size; /* sizeof(struct SoakRequest), as a check that both sides agree */
    HWND window;
    volatile LONG status;
    struct ObjectCounts counts;
};
