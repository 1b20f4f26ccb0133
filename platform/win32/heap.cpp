// Memory for programs and libraries that link no C runtime: the C library's allocation routines
// over the process heap. A library that allocates nothing does not link this file, and so does
// not import the heap calls.
#include <windows.h>

#include <cstddef>

extern "C" {

void* malloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void free(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// HeapReAlloc leaves the block as it was when it fails, as realloc does.
void* realloc(void* block, size_t size) {
    if (!block)
        return malloc(size);
    if (!size) {
        free(block);
        return nullptr;
    }
    return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

}  // extern "C"
