// Hook port: the calls of the system-wide alignment hook library. Its shared memory block, its
// registered message and the hook's installation, and, inside the hook, what it asks about the
// pointer and the window that a message is for.
#pragma once

#include <cstdint>

#include "platform/display.h"

using HookHandle = uint32_t;  // 0 is none
using SharedBlock = uintptr_t;

constexpr int32_t WH_CALLWNDPROC_ = 4;
constexpr int32_t HC_ACTION_ = 0;
constexpr int32_t GWL_STYLE_ = -16;
constexpr uint32_t PAGE_READWRITE_ = 0x04;
constexpr uint32_t FILE_MAP_WRITE_ = 0x0002;

class HookPort {
  public:
    // CreateFileMappingW on the paging file, no security attributes, PAGE_READWRITE, `size`
    // bytes, named; 0 on failure. *lastError receives GetLastError() right after the call.
    virtual SharedBlock CreateSharedBlock(const char16_t* name, uint32_t size,
                                          uint32_t* lastError) = 0;
    // MapViewOfFile with FILE_MAP_WRITE over the whole block; null on failure.
    virtual uint8_t* MapSharedBlock(SharedBlock block) = 0;
    virtual void UnmapSharedBlock(uint8_t* view) = 0;
    virtual void CloseSharedBlock(SharedBlock block) = 0;
    // RegisterWindowMessageW; 0 on failure.
    virtual uint32_t RegisterMessage(const char16_t* name) = 0;

    // SetWindowsHookExW(WH_CALLWNDPROC, the library's hook procedure, module, every thread);
    // 0 on failure.
    virtual HookHandle InstallHook(uintptr_t module) = 0;
    // UnhookWindowsHookEx.
    virtual bool RemoveHook(HookHandle hook) = 0;
    // CallNextHookEx with the hook procedure's own arguments.
    virtual intptr_t CallNextHook(HookHandle hook, int32_t code, uintptr_t wParam,
                                  intptr_t lParam) = 0;

    // GetCursorPos: the pointer in screen coordinates.
    virtual bool CursorPos(int32_t* x, int32_t* y) = 0;
    // GetWindowLongW with GWL_STYLE; 0 on failure.
    virtual uint32_t WindowStyle(uintptr_t window) = 0;
    // GetWindowRect: the window's screen rectangle, right and bottom exclusive.
    virtual bool WindowRect(uintptr_t window, Rect* rect) = 0;
    // GetClassNameW: the class name, cut to `room` - 1 characters and terminated; the number
    // of characters written, 0 on failure.
    virtual uint32_t ClassName(uintptr_t window, char16_t* name, uint32_t room) = 0;

  protected:
    ~HookPort() = default;
};
