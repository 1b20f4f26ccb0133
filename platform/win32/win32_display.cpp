#include "platform/win32/win32_display.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "platform/win32/win32_handles.h"

// The portable mode record is DEVMODEA, byte for byte.
static_assert(sizeof(DEVMODEA) == sizeof(DevMode), "DEVMODEA size");
static_assert(offsetof(DEVMODEA, dmFields) == offsetof(DevMode, dmFields), "dmFields");
static_assert(offsetof(DEVMODEA, dmLogPixels) == offsetof(DevMode, dmLogPixels), "dmLogPixels");
static_assert(offsetof(DEVMODEA, dmBitsPerPel) == offsetof(DevMode, dmBitsPerPel), "dmBitsPerPel");
static_assert(offsetof(DEVMODEA, dmPelsWidth) == offsetof(DevMode, dmPelsWidth), "dmPelsWidth");
static_assert(offsetof(DEVMODEA, dmPelsHeight) == offsetof(DevMode, dmPelsHeight), "height");
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) == offsetof(DevMode, dmDisplayFrequency),
              "dmDisplayFrequency");
static_assert(offsetof(DEVMODEA, dmPanningHeight) == offsetof(DevMode, dmPanningHeight),
              "dmPanningHeight");
static_assert(DM_DISPLAYFREQUENCY == DM_DISPLAYFREQUENCY_ && CDS_TEST == CDS_TEST_ &&
                  DISP_CHANGE_RESTART == DISP_CHANGE_RESTART_ && VREFRESH == VREFRESH_,
              "constants");

bool Win32Display::EnumMode(uint32_t index, DevMode* mode) {
    DEVMODEA record;
    std::memset(&record, 0, sizeof(record));
    record.dmSize = sizeof(record);
    if (!EnumDisplaySettingsA(nullptr, index, &record))
        return false;
    std::memcpy(mode, &record, sizeof(record));
    return true;
}

int32_t Win32Display::ChangeSettings(const DevMode& mode, uint32_t flags) {
    DEVMODEA record;
    std::memcpy(&record, &mode, sizeof(record));
    return ChangeDisplaySettingsA(&record, flags);
}

ScreenDc Win32Display::GetScreenDc() {
    return reinterpret_cast<ScreenDc>(GetDC(nullptr));
}

void Win32Display::ReleaseScreenDc(ScreenDc dc) {
    ReleaseDC(nullptr, reinterpret_cast<HDC>(dc));
}

int32_t Win32Display::DeviceCaps(ScreenDc dc, int32_t index) {
    return GetDeviceCaps(reinterpret_cast<HDC>(dc), index);
}

bool Win32Display::ProbeWhitePixel(uint16_t* pixel) {
    HWND active = GetActiveWindow();
    HDC windowDc = GetDC(active);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 1, 1);
    bool made = false;
    // Without the memory context the white pixel is never stored: no probe then.
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        const COLORREF was = GetPixel(memory, 0, 0);
        SetPixel(memory, 0, 0, RGB(255, 255, 255));
        BYTE bits[4] = {};
        GetBitmapBits(bitmap, 2, bits);
        SetPixel(memory, 0, 0, was);
        SelectObject(memory, old);
        *pixel = static_cast<uint16_t>(bits[0] | bits[1] << 8);
        made = true;
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(active, windowDc);
    return made;
}

int32_t Win32Escape::Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) {
    const int result = ExtEscape(reinterpret_cast<HDC>(dc), static_cast<int>(code),
                                 static_cast<int>(bytes), reinterpret_cast<LPCSTR>(words),
                                 static_cast<int>(bytes), reinterpret_cast<LPSTR>(words));
    return result > 0 ? result : 0;  // an error is no answer: the buffer holds the request
}

int32_t Win32Windows::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                     uint32_t flags) {
    return MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, flags);
}

static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, right) == offsetof(RECT, right),
              "Rect must have RECT's layout");

WindowHandle Win32Windows::TopWindow() {
    return Handle(GetTopWindow(nullptr));
}

WindowHandle Win32Windows::NextWindow(WindowHandle window) {
    return Handle(GetWindow(Hwnd(window), GW_HWNDNEXT));
}

void Win32Windows::WindowTitle(WindowHandle window, char* title, uint32_t size) {
    if (size == 0)
        return;
    title[0] = 0;
    GetWindowTextA(Hwnd(window), title, static_cast<int>(size));
    title[size - 1] = 0;
}

bool Win32Windows::PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
    return PostMessageA(Hwnd(window), message, wParam, lParam) != 0;
}

void Win32Windows::BroadcastMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                    uint32_t flags, uint32_t timeout) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, wParam, lParam, flags, timeout, &result);
}

int32_t Win32Windows::CompareText(const char* a, const char* b) {
    return lstrcmpA(a, b);
}

uint32_t Win32Windows::RegisterMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

bool Win32Windows::GetWorkArea(Rect* area) {
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0) != 0;
}

bool Win32Windows::SetWorkArea(const Rect& area, uint32_t flags) {
    Rect copy = area;
    return SystemParametersInfoA(SPI_SETWORKAREA, 0, &copy, flags) != 0;
}

bool Win32Windows::CursorPos(int32_t* x, int32_t* y) {
    POINT point;
    if (!GetCursorPos(&point))
        return false;
    *x = point.x;
    *y = point.y;
    return true;
}

bool Win32Windows::GetWindowRect(WindowHandle window, Rect* rect) {
    return ::GetWindowRect(Hwnd(window), reinterpret_cast<RECT*>(rect)) != 0;
}

void Win32Windows::ClientToScreen(WindowHandle window, int32_t* x, int32_t* y) {
    POINT point = {*x, *y};
    ::ClientToScreen(Hwnd(window), &point);
    *x = point.x;
    *y = point.y;
}

void Win32Windows::MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width,
                              int32_t height, bool repaint) {
    ::MoveWindow(Hwnd(window), x, y, width, height, repaint);
}

void Win32Windows::SetTimer(WindowHandle window, uint32_t id, uint32_t milliseconds) {
    ::SetTimer(Hwnd(window), id, milliseconds, nullptr);
}

void Win32Windows::KillTimer(WindowHandle window, uint32_t id) {
    ::KillTimer(Hwnd(window), id);
}

void Win32Windows::SetCapture(WindowHandle window) {
    ::SetCapture(Hwnd(window));
}

void Win32Windows::ReleaseCapture() {
    ::ReleaseCapture();
}

void Win32Windows::Invalidate(WindowHandle window) {
    InvalidateRect(Hwnd(window), nullptr, TRUE);
}
