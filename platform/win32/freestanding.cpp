// The few C library routines that the deliverables' code and the compiler call, for programs and
// libraries that link no C runtime (NT 4.0's msvcrt.dll lacks exports that a current runtime's
// start-up needs): memcpy, memmove, memset and memcmp, which the compiler may call for any copy,
// fill or comparison, and the string routines the logic uses. Memory comes from heap.cpp. Built
// without builtins, so that the loops are not turned back into calls of the routines they define.
#include <cstddef>
#include <cstdint>

extern "C" {

void* memcpy(void* to, const void* from, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    const auto* s = static_cast<const unsigned char*>(from);
    while (n--)
        *d++ = *s++;
    return to;
}

void* memmove(void* to, const void* from, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    const auto* s = static_cast<const unsigned char*>(from);
    if (d < s) {
        while (n--)
            *d++ = *s++;
    } else {
        while (n--)
            d[n] = s[n];
    }
    return to;
}

void* memset(void* to, int value, size_t n) {
    auto* d = static_cast<unsigned char*>(to);
    while (n--)
        *d++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void* a, const void* b, size_t n) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (; n; --n, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

void* memchr(const void* text, int c, size_t n) {
    const auto* s = static_cast<const unsigned char*>(text);
    for (; n; --n, ++s) {
        if (*s == static_cast<unsigned char>(c))
            return const_cast<unsigned char*>(s);
    }
    return nullptr;
}

size_t strlen(const char* text) {
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

int strncmp(const char* a, const char* b, size_t n) {
    for (; n; --n, ++a, ++b) {
        const unsigned char x = static_cast<unsigned char>(*a);
        const unsigned char y = static_cast<unsigned char>(*b);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            break;
    }
    return 0;
}

int strcmp(const char* a, const char* b) {
    return strncmp(a, b, SIZE_MAX);
}

char* strstr(const char* text, const char* needle) {
    const size_t n = strlen(needle);
    for (; *text; ++text) {
        if (strncmp(text, needle, n) == 0)
            return const_cast<char*>(text);
    }
    return n == 0 ? const_cast<char*>(text) : nullptr;
}

}  // extern "C"
