# Cross-compiles for 64-bit Windows with mingw-w64 (x86_64): the stand-in build that runs under
# 64-bit Wine where the kernel runs no 32-bit x86 code. The same interface as the i686 build;
# the stack keeps the x86_64 ABI's 16-byte alignment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOL_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(DT_NT4_DEFINES "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400 -D_WIN32_IE=0x0300")
set(CMAKE_C_FLAGS_INIT "${DT_NT4_DEFINES}")
set(CMAKE_CXX_FLAGS_INIT "${DT_NT4_DEFINES}")
set(CMAKE_RC_FLAGS_INIT "${DT_NT4_DEFINES}")
