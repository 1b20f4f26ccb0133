// The display, escape and window ports over user32 and gdi32.
#pragma once

#include "platform/display.h"
#include "platform/escape.h"
#include "platform/windows.h"

class Win32Display final : public DisplayPort {
  public:
    bool EnumMode(uint32_t index, DevMode* mode) override;
    int32_t ChangeSettings(const DevMode& mode, uint32_t flags) override;
    ScreenDc GetScreenDc() override;
    void ReleaseScreenDc(ScreenDc dc) override;
    int32_t DeviceCaps(ScreenDc dc, int32_t index) override;
    bool ProbeWhitePixel(uint16_t* pixel) override;
};

class Win32Escape final : public EscapePort {
  public:
    int32_t Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) override;
};

class Win32Windows final : public WindowPort {
  public:
    int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t flags) override;
    WindowHandle TopWindow() override;
    WindowHandle NextWindow(WindowHandle window) override;
    void WindowTitle(WindowHandle window, char* title, uint32_t size) override;
    bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;
    void BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t flags,
                          uint32_t timeout) override;
    int32_t CompareText(const char* a, const char* b) override;
    uint32_t RegisterMessage(const char* name) override;
    bool GetWorkArea(Rect* area) override;
    bool SetWorkArea(const Rect& area, uint32_t flags) override;
    bool CursorPos(int32_t* x, int32_t* y) override;
    bool GetWindowRect(WindowHandle window, Rect* rect) override;
    void ClientToScreen(WindowHandle window, int32_t* x, int32_t* y) override;
    void MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                    bool repaint) override;
    void SetTimer(WindowHandle window, uint32_t id, uint32_t milliseconds) override;
    void KillTimer(WindowHandle window, uint32_t id) override;
    void SetCapture(WindowHandle window) override;
    void ReleaseCapture() override;
    void Invalidate(WindowHandle window) override;
};
