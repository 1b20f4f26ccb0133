// Window port: what the programs ask of the window manager besides their own windows.
#pragma once

#include <cstdint>

using WindowHandle = uintptr_t;  // 0 is none

constexpr uint32_t MB_OK_ = 0x0;
constexpr uint32_t MB_OKCANCEL_ = 0x1;
constexpr uint32_t MB_ICONERROR_ = 0x10;
constexpr uint32_t MB_TOPMOST_ = 0x40000;

class WindowPort {
  public:
    // MessageBoxA; returns the button pressed.
    virtual int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                   uint32_t flags) = 0;

  protected:
    ~WindowPort() = default;
};
