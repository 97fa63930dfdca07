# Shared part of the Windows cross toolchains (Debian's mingw-w64); include after setting
# KORVEL_MINGW_TRIPLE. The -posix compilers: GoogleTest needs std::thread and friends, which the
# default win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KORVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEL_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${KORVEL_MINGW_TRIPLE}-objdump CACHE FILEPATH "")
set(KORVEL_WIDL ${KORVEL_MINGW_TRIPLE}-widl CACHE FILEPATH "IDL compiler for the type library")

set(CMAKE_FIND_ROOT_PATH /usr/${KORVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthreads linked in, so that the DLLs and test programs need no
# runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
