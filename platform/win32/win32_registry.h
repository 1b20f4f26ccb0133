// The registry ports over advapi32. Each program takes the class of the registry interface it
// uses, so that its binary imports only the calls that interface makes.
#pragma once

#include <windows.h>

#include "platform/registry.h"

// A key handle has 32 significant bits on 32-bit and 64-bit Windows alike; on 64-bit Windows
// the predefined roots and the opened keys are those bits sign-extended (LongToHandle).
static_assert(sizeof(HKEY) >= sizeof(RegKey), "a key handle holds 32 bits");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 on the target");

// One function per registry call. They are inline, so that a program that makes no use of a
// call does not import it.
namespace win32_registry {

inline HKEY H(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(key)));
}
inline RegKey K(HKEY key) {
    return static_cast<RegKey>(reinterpret_cast<uintptr_t>(key));
}
inline const wchar_t* W(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

inline int32_t OpenKey(RegKey parent, const char* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyA(H(parent), path, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

inline int32_t OpenKeyEx(RegKey parent, const char* path, uint32_t access, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(H(parent), path, 0, access, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

inline int32_t CreateKey(RegKey parent, const char* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyA(H(parent), path, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

inline int32_t QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
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

inline int32_t SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                        uint32_t size) {
    return RegSetValueExA(H(key), name, 0, type, data, size);
}

inline int32_t DeleteValue(RegKey key, const char* name) {
    return RegDeleteValueA(H(key), name);
}

inline int32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) {
    return RegEnumKeyA(H(key), index, name, nameSize);
}

inline int32_t CloseKey(RegKey key) {
    return RegCloseKey(H(key));
}

inline int32_t OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyW(H(parent), W(path), &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

inline int32_t OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access, RegKey* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExW(H(parent), W(path), 0, access, &key);
    *out = rc == ERROR_SUCCESS ? K(key) : 0;
    return rc;
}

inline int32_t QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
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

}  // namespace win32_registry

template <class Port>
class Win32RegistryReads : public Port {
  public:
    int32_t OpenKey(RegKey parent, const char* path, RegKey* out) override {
        return win32_registry::OpenKey(parent, path, out);
    }
    int32_t QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override {
        return win32_registry::QueryValue(key, name, type, data, size);
    }
    int32_t CloseKey(RegKey key) override { return win32_registry::CloseKey(key); }
};

template <class Port>
class Win32RegistryWrites : public Win32RegistryReads<Port> {
  public:
    int32_t SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                     uint32_t size) override {
        return win32_registry::SetValue(key, name, type, data, size);
    }
};

// Reads only: Zenpick and Keldor.
class Win32RegistryReader final : public Win32RegistryReads<RegistryReader> {};

// Reads and value writes: the demo's escapes.
class Win32RegistryWriter final : public Win32RegistryWrites<RegistryWriter> {};

// Reads, value writes and the access check: Nudgel.
class Win32ReminderRegistry final : public Win32RegistryWrites<RegistryWriter>,
                                    public RegistryAccessCheck {
  public:
    int32_t OpenKeyEx(RegKey parent, const char* path, uint32_t access, RegKey* out) override {
        return win32_registry::OpenKeyEx(parent, path, access, out);
    }
    int32_t CloseKey(RegKey key) override { return win32_registry::CloseKey(key); }
};

// Everything the applet does.
class Win32Registry final : public Win32RegistryWrites<RegistryPort> {
  public:
    int32_t CreateKey(RegKey parent, const char* path, RegKey* out) override {
        return win32_registry::CreateKey(parent, path, out);
    }
    int32_t DeleteValue(RegKey key, const char* name) override {
        return win32_registry::DeleteValue(key, name);
    }
    int32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) override {
        return win32_registry::EnumKey(key, index, name, nameSize);
    }
};

// The wide reads of the hook library.
class Win32RegistryW final : public RegistryReaderW {
  public:
    int32_t OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) override {
        return win32_registry::OpenKeyW(parent, path, out);
    }
    int32_t OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access, RegKey* out) override {
        return win32_registry::OpenKeyExW(parent, path, access, out);
    }
    int32_t QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override {
        return win32_registry::QueryValueW(key, name, type, data, size);
    }
    int32_t CloseKey(RegKey key) override { return win32_registry::CloseKey(key); }
};
