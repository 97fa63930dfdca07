# 64-bit ARM Linux with Debian's cross compiler; tests run under qemu-user:
#   cmake --preset aarch64 && cmake --build --preset aarch64 && ctest --preset aarch64
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(KORVEL_AARCH64_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${KORVEL_AARCH64_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KORVEL_AARCH64_TRIPLE}-g++)

set(KORVEL_AARCH64_SYSROOT /usr/${KORVEL_AARCH64_TRIPLE})
set(CMAKE_FIND_ROOT_PATH ${KORVEL_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# binfmt_misc is not mounted on every build machine, so the emulator is named explicitly, with
# the target's loader and libraries taken from the cross sysroot. CTest and GoogleTest's test
# discovery both run the test program through it.
find_program(KORVEL_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVEL_QEMU_AARCH64};-L;${KORVEL_AARCH64_SYSROOT})

# The system's GoogleTest binaries are for the build machine; build it from source instead.
set(KORVEL_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
