#include "platform/win32/win32_profile.h"

#include <windows.h>

uint32_t Win32Profile::ReadProfileString(const char* section, const char* key,
                                         const char* defaultText, char* buffer, uint32_t size,
                                         const char* path) {
    return GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
}
