// Sums and differences of 32-bit signed values that wrap around as the 32-bit x86 programs'
// arithmetic does. For coordinates from outside the program (the driver, the window system),
// which may be anything: the same results without the undefined behaviour of an overflow.
#pragma once

#include <cstdint>

constexpr int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
