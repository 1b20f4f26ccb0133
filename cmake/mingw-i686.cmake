# Cross-compiles for 32-bit Windows with mingw-w64 (i686). The stack is aligned to 4 bytes, as
# Windows gives it to every entry point and callback (and no code here needs more).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
set(DT_ARCH_FLAGS "-mpreferred-stack-boundary=2")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
