#include "platform/win32/win32_system.h"

#include <windows.h>

uint32_t Win32System::PlatformId() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return 0;
    return info.dwPlatformId;
}

uint32_t Win32System::SystemDirectory(char* buffer, uint32_t size) {
    return GetSystemDirectoryA(buffer, size);
}

uint32_t Win32System::ExpandEnvironment(const char* text, char* buffer, uint32_t size) {
    return ExpandEnvironmentStringsA(text, buffer, size);
}

bool Win32System::FindFile(const char* path, uint64_t* size) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    if (size)
        *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

uint32_t Win32System::Launch(const char* commandLine, int32_t show) {
    return WinExec(commandLine, static_cast<UINT>(show));
}

void Win32System::Beep(uint32_t type) {
    MessageBeep(type);
}

int32_t Win32System::ShowMessageBox(const char* text, const char* caption, uint32_t flags) {
    return MessageBoxA(nullptr, text, caption, flags);
}

SysHandle Win32System::CreateNamedMutex(const char* name, bool initialOwner, uint32_t* lastError) {
    HANDLE handle = CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name);
    if (lastError)
        *lastError = GetLastError();
    return reinterpret_cast<SysHandle>(handle);
}

void Win32System::CloseSysHandle(SysHandle handle) {
    if (handle)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

void Win32System::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

bool Win32System::EnablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool enabled = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) &&
                         AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return enabled;
}

bool Win32System::ExitSession(uint32_t flags, uint32_t reason) {
    return ExitWindowsEx(flags, reason) != 0;
}
