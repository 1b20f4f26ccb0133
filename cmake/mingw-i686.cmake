# Cross-compiles for 32-bit Windows with mingw-w64 (i686). The stack is aligned to 4 bytes, as
# Windows gives it to every entry point and callback (and no code here needs more).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-w64-mingw32)
# Code for the 80486 and its x87, the least NT 4.0 runs on: no CMOV, FCOMI or other P6 instruction
# (tests/pe/check_instructions.py checks the deliverables).
# -mtune=pentium: scheduled for the Pentium's two pipes, NT 4.0's usual processor; no larger code.
set(DT_ARCH_FLAGS "-march=i486 -mtune=pentium -mpreferred-stack-boundary=2")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
