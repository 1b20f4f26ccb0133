#include "platform/win32/win32_hook.h"

// A hook handle has 32 significant bits on 32-bit and 64-bit Windows alike (so processes of both
// kinds can share one); a 64-bit handle is the 32-bit one sign-extended, as LongToHandle makes it.
static_assert(sizeof(HHOOK) >= sizeof(HookHandle), "a hook handle holds 32 bits");
static_assert(sizeof(RECT) == sizeof(Rect), "RECT is four 32-bit integers");

namespace {

HWND Window(uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}
HHOOK Hook(HookHandle hook) {
    return reinterpret_cast<HHOOK>(static_cast<intptr_t>(static_cast<int32_t>(hook)));
}
HANDLE Block(SharedBlock block) {
    return reinterpret_cast<HANDLE>(block);
}
const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

SharedBlock Win32Hook::CreateSharedBlock(const char16_t* name, uint32_t size, uint32_t* lastError) {
    HANDLE block =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, Wide(name));
    *lastError = GetLastError();
    return reinterpret_cast<SharedBlock>(block);
}

uint8_t* Win32Hook::MapSharedBlock(SharedBlock block) {
    return static_cast<uint8_t*>(MapViewOfFile(Block(block), FILE_MAP_WRITE, 0, 0, 0));
}

void Win32Hook::UnmapSharedBlock(uint8_t* view) {
    UnmapViewOfFile(view);
}

void Win32Hook::CloseSharedBlock(SharedBlock block) {
    CloseHandle(Block(block));
}

uint32_t Win32Hook::RegisterMessage(const char16_t* name) {
    return RegisterWindowMessageW(Wide(name));
}

HookHandle Win32Hook::InstallHook(uintptr_t module) {
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, procedure_, reinterpret_cast<HINSTANCE>(module), 0);
    return static_cast<HookHandle>(reinterpret_cast<uintptr_t>(hook));
}

bool Win32Hook::RemoveHook(HookHandle hook) {
    return UnhookWindowsHookEx(Hook(hook)) != FALSE;
}

intptr_t Win32Hook::CallNextHook(HookHandle hook, int32_t code, uintptr_t wParam, intptr_t lParam) {
    return CallNextHookEx(Hook(hook), code, wParam, lParam);
}

bool Win32Hook::CursorPos(int32_t* x, int32_t* y) {
    POINT point;
    if (!GetCursorPos(&point))
        return false;
    *x = point.x;
    *y = point.y;
    return true;
}

uint32_t Win32Hook::WindowStyle(uintptr_t window) {
    return static_cast<uint32_t>(GetWindowLongW(Window(window), GWL_STYLE));
}

bool Win32Hook::WindowRect(uintptr_t window, Rect* rect) {
    RECT r;
    if (!GetWindowRect(Window(window), &r))
        return false;
    *rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

uint32_t Win32Hook::ClassName(uintptr_t window, char16_t* name, uint32_t room) {
    const int n =
        GetClassNameW(Window(window), reinterpret_cast<wchar_t*>(name), static_cast<int>(room));
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}
