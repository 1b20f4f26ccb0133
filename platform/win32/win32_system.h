// The system port over kernel32 and user32.
#pragma once

#include "platform/system.h"

class Win32System final : public SystemPort {
  public:
    uint32_t PlatformId() override;
    uint32_t SystemDirectory(char* buffer, uint32_t size) override;
    uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) override;
    bool FindFile(const char* path, uint64_t* size) override;
    uint32_t Launch(const char* commandLine, int32_t show) override;
    void Beep(uint32_t type) override;
    int32_t ShowMessageBox(const char* text, const char* caption, uint32_t flags) override;
    SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) override;
    void CloseSysHandle(SysHandle handle) override;
    void Sleep(uint32_t milliseconds) override;
    bool EnablePrivilege(const char* name) override;
    bool ExitSession(uint32_t flags, uint32_t reason) override;
};
