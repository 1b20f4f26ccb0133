// The profile-file port over kernel32's profile reader.
#pragma once

#include "platform/profile.h"

class Win32Profile final : public ProfilePort {
  public:
    uint32_t ReadProfileString(const char* section, const char* key, const char* defaultText,
                               char* buffer, uint32_t size, const char* path) override;
};
