// The hook port over kernel32 and user32, in their wide forms.
#pragma once

#include <windows.h>

#include "platform/hook.h"

class Win32Hook final : public HookPort {
  public:
    // `procedure` is the hook procedure that InstallHook installs.
    constexpr explicit Win32Hook(HOOKPROC procedure) : procedure_(procedure) {}

    SharedBlock CreateSharedBlock(const char16_t* name, uint32_t size,
                                  uint32_t* lastError) override;
    uint8_t* MapSharedBlock(SharedBlock block) override;
    void UnmapSharedBlock(uint8_t* view) override;
    void CloseSharedBlock(SharedBlock block) override;
    uint32_t RegisterMessage(const char16_t* name) override;
    HookHandle InstallHook(uintptr_t module) override;
    bool RemoveHook(HookHandle hook) override;
    intptr_t CallNextHook(HookHandle hook, int32_t code, uintptr_t wParam,
                          intptr_t lParam) override;
    bool CursorPos(int32_t* x, int32_t* y) override;
    uint32_t WindowStyle(uintptr_t window) override;
    bool WindowRect(uintptr_t window, Rect* rect) override;
    uint32_t ClassName(uintptr_t window, char16_t* name, uint32_t room) override;

  private:
    HOOKPROC procedure_;
};
