# 32-bit x86 Windows DLL: cmake --preset windows-x86
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KORVEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
