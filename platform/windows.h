// Window port: what the programs ask of the window manager besides their own windows.
#pragma once

#include <cstdint>

#include "platform/display.h"

using WindowHandle = uintptr_t;  // 0 is none

constexpr uint32_t MB_OK_ = 0x0;
constexpr uint32_t MB_OKCANCEL_ = 0x1;
constexpr uint32_t MB_ICONERROR_ = 0x10;
constexpr uint32_t MB_ICONINFORMATION_ = 0x40;
constexpr uint32_t MB_TOPMOST_ = 0x40000;

constexpr uint32_t WM_CREATE_ = 0x0001;
constexpr uint32_t WM_DESTROY_ = 0x0002;
constexpr uint32_t WM_SIZE_ = 0x0005;
constexpr uint32_t WM_PAINT_ = 0x000F;
constexpr uint32_t WM_CLOSE_ = 0x0010;
constexpr uint32_t WM_CANCELMODE_ = 0x001F;
constexpr uint32_t WM_DISPLAYCHANGE_ = 0x007E;
constexpr uint32_t WM_INITDIALOG_ = 0x0110;
constexpr uint32_t WM_COMMAND_ = 0x0111;
constexpr uint32_t WM_TIMER_ = 0x0113;
constexpr uint32_t WM_MOUSEMOVE_ = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN_ = 0x0201;
constexpr uint32_t WM_LBUTTONUP_ = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK_ = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN_ = 0x0204;
constexpr uint32_t WM_CAPTURECHANGED_ = 0x0215;
constexpr uint32_t WM_USER_ = 0x0400;
constexpr uint32_t SIZE_MINIMIZED_ = 1;

constexpr uint32_t SPIF_UPDATEINIFILE_ = 0x1;
constexpr uint32_t SPIF_SENDWININICHANGE_ = 0x2;

// SendMessageTimeoutA: skip a window whose thread has stopped taking messages.
constexpr uint32_t SMTO_ABORTIFHUNG_ = 0x2;

// The low and high 16-bit halves of a message parameter; the halves of a point are signed.
constexpr uint32_t LowWord(uintptr_t value) {
    return static_cast<uint32_t>(value & 0xFFFF);
}
constexpr int32_t PointX(intptr_t lParam) {
    return static_cast<int16_t>(lParam & 0xFFFF);
}
constexpr int32_t PointY(intptr_t lParam) {
    return static_cast<int16_t>((lParam >> 16) & 0xFFFF);
}

class WindowPort {
  public:
    // MessageBoxA; returns the button pressed.
    virtual int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                   uint32_t flags) = 0;

    // The top-level windows, front to back: GetTopWindow of the desktop, then GetWindow with
    // GW_HWNDNEXT; 0 at the end.
    virtual WindowHandle TopWindow() = 0;
    virtual WindowHandle NextWindow(WindowHandle window) = 0;
    // GetWindowTextA: the title, always terminated, truncated to `size` - 1 characters.
    virtual void WindowTitle(WindowHandle window, char* title, uint32_t size) = 0;
    virtual bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) = 0;
    // SendMessageTimeoutA to HWND_BROADCAST: every top-level window, waiting for each at most
    // `timeout` milliseconds (flags SMTO_*).
    virtual void BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                  uint32_t flags, uint32_t timeout) = 0;
    // lstrcmpA: negative, 0 or positive, as the system's comparison of the two texts orders them.
    virtual int32_t CompareText(const char* a, const char* b) = 0;
    // RegisterWindowMessageA: the message's number, or 0.
    virtual uint32_t RegisterMessage(const char* name) = 0;

    // SystemParametersInfoA with SPI_GETWORKAREA / SPI_SETWORKAREA (flags SPIF_*).
    virtual bool GetWorkArea(Rect* area) = 0;
    virtual bool SetWorkArea(const Rect& area, uint32_t flags) = 0;

    // GetCursorPos.
    virtual bool CursorPos(int32_t* x, int32_t* y) = 0;
    virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
    // ClientToScreen: a point of the window's client area to screen coordinates.
    virtual void ClientToScreen(WindowHandle window, int32_t* x, int32_t* y) = 0;
    virtual void MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width,
                            int32_t height, bool repaint) = 0;
    virtual void SetTimer(WindowHandle window, uint32_t id, uint32_t milliseconds) = 0;
    virtual void KillTimer(WindowHandle window, uint32_t id) = 0;
    virtual void SetCapture(WindowHandle window) = 0;
    virtual void ReleaseCapture() = 0;
    // InvalidateRect of the whole window, with erasing.
    virtual void Invalidate(WindowHandle window) = 0;

  protected:
    ~WindowPort() = default;
};
