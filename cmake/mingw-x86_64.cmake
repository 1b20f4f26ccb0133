# Cross-compiles for 64-bit Windows with mingw-w64 (x86_64): the stand-in build that runs under
# 64-bit Wine where the kernel runs no 32-bit x86 code. The stack keeps the x86_64 ABI's 16-byte
# alignment.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
set(DT_ARCH_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
