// Zenpick.exe: escapes go to the display driver through ExtEscape.
#include "platform/win32/win32_display.h"
#include "tray/win32/board_escape.h"

EscapePort& BoardEscape() {
    static Win32Escape escape;
    return escape;
}
