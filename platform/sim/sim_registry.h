// In-memory registry with the Win32 semantics the tools depend on: stored types are reported,
// a value that does not fit fails with ERROR_MORE_DATA (and the size it needs), strings are kept
// exactly as stored (a REG_SZ need not end in a zero), key paths and value names compare without
// case, opening never creates, and every open handle is counted. A key may be closed to writes,
// with its subkeys, as its permissions close it to a user. A failed call answers as the system
// does: ERROR_ACCESS_DENIED for opening, creating, writing and enumerating keys,
// ERROR_FILE_NOT_FOUND for reading a value; a failed close still gives the handle back.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_faults.h"

class SimRegistry final : public RegistryPort,
                          public RegistryAccessCheck,
                          public RegistryReaderW,
                          public FaultInjectable {
  public:
    using Bytes = std::vector<uint8_t>;

    // Setting up and inspecting the machine's registry (tests and the demo).
    void AddKey(RegKey root, const std::string& path);
    void RemoveKey(RegKey root, const std::string& path);  // with its subkeys
    bool KeyExists(RegKey root, const std::string& path) const;
    void SetRaw(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                const Bytes& data);
    void SetString(RegKey root, const std::string& path, const std::string& name,
                   const std::string& text, bool terminated = true);
    void SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t value);
    void SetBinaryWord(RegKey root, const std::string& path, const std::string& name,
                       uint32_t value);
    void RemoveValue(RegKey root, const std::string& path, const std::string& name);
    // The stored type and bytes of a value; false when the key or value is missing.
    bool GetRaw(RegKey root, const std::string& path, const std::string& name, uint32_t* type,
                Bytes* data) const;
    // Writes into this key and the keys below it are refused with ERROR_ACCESS_DENIED (false)
    // or allowed (true): setting and deleting values, creating subkeys, and opening the key for
    // KEY_SET_VALUE or KEY_CREATE_SUB_KEY. The rule nearest above a key decides; a key without
    // one above it takes writes, as it does for an administrator.
    void SetWritable(RegKey root, const std::string& path, bool writable);
    // Every write that was made, as "hklm\software\orvelcom\...\value" (lower case): values
    // set or deleted and keys created.
    std::vector<std::string> writes;

    // Handles opened through the port and not closed yet.
    int OpenKeyCount() const { return static_cast<int>(handles_.size()); }
    // Calls made through the port so far.
    uint32_t CallCount() const { return calls_; }

    int32_t OpenKey(RegKey parent, const char* path, RegKey* out) override;
    int32_t CreateKey(RegKey parent, const char* path, RegKey* out) override;
    int32_t QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override;
    int32_t SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
    int32_t DeleteValue(RegKey key, const char* name) override;
    int32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) override;
    int32_t CloseKey(RegKey key) override;
    int32_t OpenKeyEx(RegKey parent, const char* path, uint32_t access, RegKey* out) override;
    int32_t OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) override;
    int32_t OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access, RegKey* out) override;
    int32_t QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;

  private:
    struct Value {
        uint32_t type = REG_NONE_;
        Bytes data;
    };
    struct Key {
        std::string name;                     // last path segment, as created
        std::map<std::string, Value> values;  // by lower-case name
    };

    // Full path of a key as stored: lower case, root first ("hklm\system\...").
    static std::string RootName(RegKey root);
    static std::string Lower(const std::string& text);
    bool Resolve(RegKey parent, const char* path, std::string* full) const;
    void Create(const std::string& full, const std::string& display);
    const Key* Find(RegKey root, const std::string& path) const;
    Key* FindHandle(RegKey key);
    int32_t Open(RegKey parent, const char* path, bool create, RegKey* out, uint32_t access = 0);
    bool Writable(const std::string& full) const;
    int32_t FindValue(RegKey key, const std::string& name, const Value** value);
    int32_t WritableKey(RegKey key, Key** out, std::string* full);
    static int32_t CopyOut(const Bytes& bytes, uint8_t* data, uint32_t* size);

    std::map<std::string, Key> keys_;
    std::map<RegKey, std::string> handles_;
    std::map<std::string, bool> writable_;  // by full path
    RegKey nextHandle_ = 0x100;
    uint32_t calls_ = 0;
};
