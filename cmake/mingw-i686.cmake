# Cross-compiles for 32-bit Windows with mingw-w64 (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOL_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOL_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The interface of Windows NT 4.0 for every compilation: a call or a structure that NT 4.0 lacks
# does not compile. The stack is aligned to 4 bytes, as Windows gives it to every entry point and
# callback (and no code here needs more).
set(DT_NT4_DEFINES "-D_WIN32_WINNT=0x0400 -DWINVER=0x0400 -D_WIN32_IE=0x0300")
set(CMAKE_C_FLAGS_INIT "${DT_NT4_DEFINES} -mpreferred-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "${DT_NT4_DEFINES} -mpreferred-stack-boundary=2")
set(CMAKE_RC_FLAGS_INIT "${DT_NT4_DEFINES}")
