// The registry port over advapi32.
#pragma once

#include "platform/registry.h"

class Win32Registry final : public RegistryPort {
  public:
    int32_t OpenKey(RegKey parent, const char* path, RegKey* out) override;
    int32_t CreateKey(RegKey parent, const char* path, RegKey* out) override;
    int32_t QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                       uint32_t* size) override;
    int32_t SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                     uint32_t size) override;
    int32_t DeleteValue(RegKey key, const char* name) override;
    int32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t nameSize) override;
    int32_t CloseKey(RegKey key) override;
    int32_t OpenKeyW(RegKey parent, const char16_t* path, RegKey* out) override;
    int32_t OpenKeyExW(RegKey parent, const char16_t* path, uint32_t access, RegKey* out) override;
    int32_t QueryValueW(RegKey key, const char16_t* name, uint32_t* type, uint8_t* data,
                        uint32_t* size) override;
};
