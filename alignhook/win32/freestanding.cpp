// The two memory routines that the compiler and the library's code call, for a library that
// links no C runtime. Built without builtins, so the loops are not turned back into calls.
#include <cstddef>

extern "C" void* memcpy(void* to, const void* from, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    const auto* s = static_cast<const unsigned char*>(from);
    while (n--)
        *d++ = *s++;
    return to;
}

extern "C" void* memset(void* to, int value, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    while (n--)
        *d++ = static_cast<unsigned char>(value);
    return to;
}
