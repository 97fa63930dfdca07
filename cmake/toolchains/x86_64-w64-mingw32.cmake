# 64-bit Windows DLL and tests: cmake --preset windows-x64
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVEL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
