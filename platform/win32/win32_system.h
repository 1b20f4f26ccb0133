// The system ports over kernel32, user32 and advapi32: one class per program, each making only
// the calls of that program's interface, so that its binary imports nothing else.
#pragma once

#include <windows.h>

#include "platform/system.h"

// One function per service. They are inline, so that a program that makes no use of a service
// does not import its calls.
namespace win32_system {

inline uint32_t PlatformIdEx() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return 0;
    return info.dwPlatformId;
}

inline uint32_t PlatformIdFromVersion() {
    // GetVersion sets the top bit everywhere but on Windows NT.
    return (GetVersion() & 0x80000000u) ? VER_PLATFORM_WIN32_WINDOWS_ : VER_PLATFORM_WIN32_NT_;
}

inline uint32_t SystemDirectory(char* buffer, uint32_t size) {
    return GetSystemDirectoryA(buffer, size);
}

inline uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) {
    return ExpandEnvironmentStringsA(text, buffer, size);
}

inline bool FindFile(const char* path, uint64_t* size) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    if (size)
        *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

inline uint32_t Launch(const char* commandLine, int32_t show) {
    return WinExec(commandLine, static_cast<UINT>(show));
}

inline void Beep(uint32_t type) {
    MessageBeep(type);
}

inline SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) {
    HANDLE handle = CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name);
    if (lastError)
        *lastError = GetLastError();
    return reinterpret_cast<SysHandle>(handle);
}

inline void CloseSysHandle(SysHandle handle) {
    if (handle)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

inline void Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

inline bool EnablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds for a privilege the token does not hold, and says so only
    // through ERROR_NOT_ALL_ASSIGNED.
    const bool enabled = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) &&
                         AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                         GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

inline bool ExitSession(uint32_t flags, uint32_t reason) {
    return ExitWindowsEx(flags, reason) != 0;
}

}  // namespace win32_system

class Win32TraySystem final : public TraySystem {
  public:
    uint32_t PlatformId() override { return win32_system::PlatformIdEx(); }
    uint32_t SystemDirectory(char* buffer, uint32_t size) override {
        return win32_system::SystemDirectory(buffer, size);
    }
    bool FindFile(const char* path, uint64_t* size) override {
        return win32_system::FindFile(path, size);
    }
    uint32_t Launch(const char* commandLine, int32_t show) override {
        return win32_system::Launch(commandLine, show);
    }
    void Beep(uint32_t type) override { win32_system::Beep(type); }
    SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) override {
        return win32_system::CreateNamedMutex(name, initialOwner, lastError);
    }
    void CloseSysHandle(SysHandle handle) override { win32_system::CloseSysHandle(handle); }
    void Sleep(uint32_t milliseconds) override { win32_system::Sleep(milliseconds); }
};

class Win32AppletSystem final : public AppletSystem {
  public:
    uint32_t SystemDirectory(char* buffer, uint32_t size) override {
        return win32_system::SystemDirectory(buffer, size);
    }
    uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) override {
        return win32_system::ExpandEnvironment(text, buffer, size);
    }
    bool FindFile(const char* path, uint64_t* size) override {
        return win32_system::FindFile(path, size);
    }
    void Beep(uint32_t type) override { win32_system::Beep(type); }
    bool EnablePrivilege(const char* name) override { return win32_system::EnablePrivilege(name); }
    bool ExitSession(uint32_t flags, uint32_t reason) override {
        return win32_system::ExitSession(flags, reason);
    }
};

class Win32ReminderSystem final : public ReminderSystem {
  public:
    uint32_t SystemDirectory(char* buffer, uint32_t size) override {
        return win32_system::SystemDirectory(buffer, size);
    }
    uint32_t Launch(const char* commandLine, int32_t show) override {
        return win32_system::Launch(commandLine, show);
    }
    SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) override {
        return win32_system::CreateNamedMutex(name, initialOwner, lastError);
    }
    void CloseSysHandle(SysHandle handle) override { win32_system::CloseSysHandle(handle); }
};

class Win32ControllerSystem final : public ControllerSystem {
  public:
    uint32_t PlatformId() override { return win32_system::PlatformIdFromVersion(); }
    void Beep(uint32_t type) override { win32_system::Beep(type); }
    SysHandle CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) override {
        return win32_system::CreateNamedMutex(name, initialOwner, lastError);
    }
    void CloseSysHandle(SysHandle handle) override { win32_system::CloseSysHandle(handle); }
};
