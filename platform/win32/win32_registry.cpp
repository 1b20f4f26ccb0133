#include "platform/win32/win32_registry.h"

#include <windows.h>

// A key handle has 32 significant bits on 32-bit and 64-bit Windows alike; on 64-bit Windows
// the predefined roots and the opened keys are those bits sign-extended (LongToHandle).
static_assert(sizeof(HKEY) >= sizeof(RegKey), "a key handle holds 32 bits");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 on the target");

namespace {

HKEY H(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(key)));
}
RegKey K(HKEY key) {
    return static_cast<RegKey>(reinterpret_cast<uintptr_t>(key));
}
const wchar_t* W(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

int32_t Win32Registry::OpenKey(RegKey parent, const char* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyA(H(parent), path, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

int32_t Win32Registry::CreateKey(RegKey parent, const char* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyA(H(parent), path, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

int32_t Win32Registry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                  uint32_t* size) {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    LONG rc = RegQueryValueExA(H(key), name, nullptr, &t, data, size ? &s : nullptr);
    if (type)
        *type = t;
    if (size)
        *size = s;
    return rc;
}

int32_t Win32Registry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                                uint32_t size) {
    return RegSetValueExA(H(key), name, 0, type, data, size);
}

int32_t Win32Registry::DeleteValue(RegKey key, const char* name) {
    return RegDeleteValueA(H(key), name);
}

int32_t Win32Registry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) {
    return RegEnumKeyA(H(key), index, name, nameSize);
}

int32_t Win32Registry::CloseKey(RegKey key) {
    return RegCloseKey(H(key));
}

int32_t Win32Registry::OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyW(H(parent), W(path), &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

int32_t Win32Registry::OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access,
                                  RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExW(H(parent), W(path), 0, access, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

int32_t Win32Registry::QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                                   uint32_t* size) {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    LONG rc = RegQueryValueExW(H(key), W(name), nullptr, &t, data, size ? &s : nullptr);
    if (type)
        *type = t;
    if (size)
        *size = s;
    return rc;
}
