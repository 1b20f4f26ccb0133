// System port: facts about the machine and the few services the programs ask of it.
// Texts pass as C strings and caller-owned buffers, as the Win32 calls take them, so that the
// small programs need none of the C++ library's containers.
#pragma once

#include <cstdint>

constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS_ = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT_ = 2;

constexpr int32_t SW_SHOWNORMAL_ = 1;
constexpr int32_t SW_SHOW_ = 5;
constexpr uint32_t MB_ICONEXCLAMATION_ = 0x30;

using SysHandle = uintptr_t;

class SystemPort {
  public:
    // GetVersionExA's dwPlatformId.
    virtual uint32_t PlatformId() = 0;
    // GetSystemDirectoryA: the length written (no trailing backslash), or the room needed
    // (with the terminator) when `size` is too small, or 0 on failure.
    virtual uint32_t SystemDirectory(char* buffer, uint32_t size) = 0;
    // ExpandEnvironmentStringsA: the characters needed with the terminator, 0 on failure; the
    // text is written only when they fit.
    virtual uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) = 0;
    // FindFirstFileA: true when the file exists; its size in *size when size is not null.
    virtual bool FindFile(const char* path, uint64_t* size) = 0;
    // WinExec: the result as WinExec gives it (above 31 means started).
    virtual uint32_t Launch(const char* commandLine, int32_t show) = 0;
    // MessageBeep.
    virtual void Beep(uint32_t type) = 0;
    // MessageBoxA with no owner; returns the button pressed.
    virtual int32_t ShowMessageBox(const char* text, const char* caption, uint32_t flags) = 0;
    // CreateMutexA without security attributes; *lastError receives GetLastError() right after.
    virtual SysHandle CreateNamedMutex(const char* name, bool initialOwner,
                                       uint32_t* lastError) = 0;
    virtual void CloseSysHandle(SysHandle handle) = 0;
    // Sleep: blocks the calling thread without handling messages.
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Enables privilege `name` (e.g. "SeShutdownPrivilege") in the process's access token:
    // OpenProcessToken for adjusting and querying, LookupPrivilegeValueA on the local system,
    // AdjustTokenPrivileges with that one privilege enabled.
    virtual bool EnablePrivilege(const char* name) = 0;
    // ExitWindowsEx.
    virtual bool ExitSession(uint32_t flags, uint32_t reason) = 0;

  protected:
    ~SystemPort() = default;
};
