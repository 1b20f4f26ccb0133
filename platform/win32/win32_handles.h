// Window handles between the ports' portable form and the Win32 one.
#pragma once

#include <windows.h>

#include "platform/windows.h"

inline HWND Hwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

inline WindowHandle Handle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
