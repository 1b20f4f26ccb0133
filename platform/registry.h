// Registry port: the few registry calls the tools make, with Win32's semantics.
// Keys are opaque handles; the predefined roots have their Win32 values.
#pragma once

#include <cstdint>

using RegKey = uint32_t;

constexpr RegKey HKEY_CURRENT_USER_ = 0x80000001u;
constexpr RegKey HKEY_LOCAL_MACHINE_ = 0x80000002u;

constexpr uint32_t REG_NONE_ = 0;
constexpr uint32_t REG_SZ_ = 1;
constexpr uint32_t REG_EXPAND_SZ_ = 2;
constexpr uint32_t REG_BINARY_ = 3;
constexpr uint32_t REG_DWORD_ = 4;

constexpr int32_t ERROR_SUCCESS_ = 0;
constexpr int32_t ERROR_FILE_NOT_FOUND_ = 2;
constexpr int32_t ERROR_ACCESS_DENIED_ = 5;
constexpr int32_t ERROR_INVALID_HANDLE_ = 6;
constexpr int32_t ERROR_ALREADY_EXISTS_ = 183;
constexpr int32_t ERROR_MORE_DATA_ = 234;
constexpr int32_t ERROR_NO_MORE_ITEMS_ = 259;

// Each program links only the registry calls it makes, so the interface comes in layers: the
// reads that every program makes, the value writes of the reminder, and the key creation,
// deletion and enumeration that only the applet needs. The hook library reads with the wide
// calls alone.
class RegistryReader {
  public:
    // RegOpenKeyA: opens an existing key below `parent`; never creates one.
    virtual int32_t OpenKey(RegKey parent, const char* path, RegKey* out) = 0;
    // RegQueryValueExA. `type` and `data` may be null. On entry *size is the room in `data`;
    // on return it is the stored size. A value that does not fit gives ERROR_MORE_DATA.
    virtual int32_t QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                               uint32_t* size) = 0;
    virtual int32_t CloseKey(RegKey key) = 0;

  protected:
    ~RegistryReader() = default;
};

class RegistryWriter : public RegistryReader {
  public:
    // RegSetValueExA.
    virtual int32_t SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                             uint32_t size) = 0;

  protected:
    ~RegistryWriter() = default;
};

class RegistryPort : public RegistryWriter {
  public:
    // RegCreateKeyA: opens the key, creating it and its missing parents.
    virtual int32_t CreateKey(RegKey parent, const char* path, RegKey* out) = 0;
    virtual int32_t DeleteValue(RegKey key, const char* name) = 0;
    // RegEnumKeyA: the name of subkey `index` with its terminator into `name` (room `nameSize`).
    virtual int32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) = 0;

  protected:
    ~RegistryPort() = default;
};

constexpr uint32_t KEY_READ_ = 0x20019;
constexpr uint32_t KEY_SET_VALUE_ = 0x0002;
constexpr uint32_t KEY_CREATE_SUB_KEY_ = 0x0004;

// RegOpenKeyExA asking for the access named: how the reminder learns whether the user may write
// a key, without writing.
class RegistryAccessCheck {
  public:
    virtual int32_t OpenKeyEx(RegKey parent, const char* path, uint32_t access, RegKey* out) = 0;
    virtual int32_t CloseKey(RegKey key) = 0;

  protected:
    ~RegistryAccessCheck() = default;
};

// The wide reads (RegOpenKeyW, RegOpenKeyExW, RegQueryValueExW), as the hook library makes them.
class RegistryReaderW {
  public:
    virtual int32_t OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) = 0;
    virtual int32_t OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access,
                               RegKey* out) = 0;
    virtual int32_t QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                                uint32_t* size) = 0;
    virtual int32_t CloseKey(RegKey key) = 0;

  protected:
    ~RegistryReaderW() = default;
};
