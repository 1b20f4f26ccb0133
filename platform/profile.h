// Profile-file port: the operating system's reader of ini files, read only.
#pragma once

#include <cstdint>

class ProfilePort {
  public:
    // GetPrivateProfileStringA over the file `path`.
    // With `key` null it copies the key names of `section`, in file order, each ended by a zero
    // and the list by a further zero, and returns the characters copied without that last zero;
    // a list that does not fit is cut, ended by two zeros, and `size` - 2 is returned.
    // With a key it copies the key's value (or `defaultText` when the section or the key is
    // missing) and returns its length; a value that does not fit is cut to `size` - 1
    // characters, and `size` - 1 is returned. Section and key names compare without case.
    virtual uint32_t ReadProfileString(const char* section, const char* key,
                                       const char* defaultText, char* buffer, uint32_t size,
                                       const char* path) = 0;

  protected:
    ~ProfilePort() = default;
};
