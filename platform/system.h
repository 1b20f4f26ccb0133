// System ports: facts about the machine and the few services the programs ask of it.
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

// Each program sees the system through an interface of exactly the services it uses, so that
// its binary links only those calls. The same service keeps one name and one meaning in every
// interface:
//   PlatformId         the platform id (VER_PLATFORM_WIN32_NT_ on Windows NT).
//   SystemDirectory    GetSystemDirectoryA: the length written (no trailing backslash), or the
//                      room needed (with the terminator) when `size` is too small, or 0 on
//                      failure.
//   ExpandEnvironment  ExpandEnvironmentStringsA: the characters needed with the terminator, 0
//                      on failure; the text is written only when they fit.
//   FindFile           FindFirstFileA: true when the file exists; its size in *size when size is
//                      not null.
//   Launch             WinExec: the result as WinExec gives it (above 31 means started).
//   Beep               MessageBeep.
//   CreateNamedMutex   CreateMutexA without security attributes; *lastError receives
//                      GetLastError() right after. CloseSysHandle closes it.
//   Sleep              blocks the calling thread without handling messages.
//   EnablePrivilege    enables privilege `name` (e.g. "SeShutdownPrivilege") in the process's
//                      access token: OpenProcessToken for adjusting and querying,
//                      LookupPrivilegeValueA on the local system, AdjustTokenPrivileges with that
//                      one privilege enabled.
//   ExitSession        ExitWindowsEx.

// Zenpick.
class TraySystem {
  public:
    virtual uint32_t PlatformId() = 0;  // GetVersionExA's dwPlatformId
    virtual uint32_t SystemDirectory(char* buffer, uint32_t size) = 0;
    virtual bool FindFile(const char* path, uint64_t* size) = 0;
    virtual uint32_t Launch(const char* commandLine, int32_t show) = 0;
    virtual void Beep(uint32_t type) = 0;
    virtual SysHandle CreateNamedMutex(const char* name, bool initialOwner,
                                       uint32_t* lastError) = 0;
    virtual void CloseSysHandle(SysHandle handle) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;

  protected:
    ~TraySystem() = default;
};

// lumora2.cpl.
class AppletSystem {
  public:
    virtual uint32_t SystemDirectory(char* buffer, uint32_t size) = 0;
    virtual uint32_t ExpandEnvironment(const char* text, char* buffer, uint32_t size) = 0;
    virtual bool FindFile(const char* path, uint64_t* size) = 0;
    virtual void Beep(uint32_t type) = 0;
    virtual bool EnablePrivilege(const char* name) = 0;
    virtual bool ExitSession(uint32_t flags, uint32_t reason) = 0;

  protected:
    ~AppletSystem() = default;
};

// Nudgel.
class ReminderSystem {
  public:
    virtual uint32_t SystemDirectory(char* buffer, uint32_t size) = 0;
    virtual uint32_t Launch(const char* commandLine, int32_t show) = 0;
    virtual SysHandle CreateNamedMutex(const char* name, bool initialOwner,
                                       uint32_t* lastError) = 0;
    virtual void CloseSysHandle(SysHandle handle) = 0;

  protected:
    ~ReminderSystem() = default;
};

// Keldor.
class ControllerSystem {
  public:
    virtual uint32_t PlatformId() = 0;  // from GetVersion: NT when its top bit is clear
    virtual void Beep(uint32_t type) = 0;
    virtual SysHandle CreateNamedMutex(const char* name, bool initialOwner,
                                       uint32_t* lastError) = 0;
    virtual void CloseSysHandle(SysHandle handle) = 0;

  protected:
    ~ControllerSystem() = default;
};
