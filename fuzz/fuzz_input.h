// What the fuzz targets share: the input read front to back, registry values of any type and
// length made from it, and the check that turns a broken rule into a crash.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/registry.h"

// A rule of the system that the input broke: said on stderr, and the run ends as a crash.
#define FUZZ_CHECK(condition)                             \
    do {                                                  \
        if (!(condition))                                 \
            fuzz::Broken(#condition, __FILE__, __LINE__); \
    } while (0)

namespace fuzz {

[[noreturn]] inline void Broken(const char* rule, const char* file, int line) {
    std::fprintf(stderr, "==fuzz== rule broken: %s (%s:%d)\n", rule, file, line);
    std::abort();
}

// The longest registry value a target stores.
constexpr size_t kMaxValueBytes = 65536;

// The input, read from the front; once it is used up every read gives zeros.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Left() const { return size_ - at_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool Flag() { return (Byte() & 1) != 0; }
    uint16_t Half() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    uint32_t Word() { return Half() | static_cast<uint32_t>(Half()) << 16; }
    int32_t SignedWord() { return static_cast<int32_t>(Word()); }

    // `count` bytes: the next `given` bytes of the input (fewer where it ends), repeated to fill
    // the rest, so that a short input can stand for a long value; zeros when nothing was given.
    std::vector<uint8_t> Bytes(size_t count, size_t given) {
        given = std::min({given, count, Left()});
        std::vector<uint8_t> bytes(count, 0);
        if (given) {
            std::memcpy(bytes.data(), data_ + at_, given);
            at_ += given;
            for (size_t i = given; i < count; ++i)
                bytes[i] = bytes[i - given];
        }
        return bytes;
    }

    // A registry value: its type (one of those the readers tell apart, or any word), its length
    // (0 to 64 KiB) and its bytes, as [type][length: 2][given: 2][given bytes].
    struct Value {
        uint32_t type;
        std::vector<uint8_t> bytes;
    };
    Value RegistryValue() {
        static const uint32_t kTypes[] = {REG_NONE_,   REG_SZ_,    REG_EXPAND_SZ_,
                                          REG_BINARY_, REG_DWORD_, 7 /* REG_MULTI_SZ */};
        Value value;
        const uint8_t type = Byte();
        value.type = type < 0xF0 ? kTypes[type % 6] : Word();
        const uint16_t length = Half();
        const size_t bytes = length == 0xFFFF ? kMaxValueBytes : length;
        value.bytes = Bytes(bytes, Half());
        return value;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The text of `bytes` as a reader sees it: up to the first zero, or all of it.
inline size_t TextLength(const std::vector<uint8_t>& bytes) {
    const auto zero = std::find(bytes.begin(), bytes.end(), 0);
    return static_cast<size_t>(zero - bytes.begin());
}

// A zero within the first `size` characters.
template <class Ch>
bool Terminated(const Ch* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == 0)
            return true;
    }
    return false;
}

}  // namespace fuzz
