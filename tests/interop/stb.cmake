# stb_image is the independent decoder of tests/interop/. Debian's libstb-dev installs it as
# /usr/include/stb/stb_image.h; tools/install-deps.sh test installs that package.
# Header-only and the same for every target, so cross builds take the build machine's copy. The
# folder added is stb's own, so no other host header reaches a cross compiler.
find_path(KORVEL_STB_INCLUDE_DIR stb_image.h
  PATHS /usr/include /usr/local/include PATH_SUFFIXES stb NO_CMAKE_FIND_ROOT_PATH)
if(NOT KORVEL_STB_INCLUDE_DIR)
  message(FATAL_ERROR
    "stb_image.h not found: the interoperability tests decode this library's files with it. "
    "Install it with tools/install-deps.sh test (Debian package libstb-dev), point "
    "KORVEL_STB_INCLUDE_DIR at its folder, or configure with -DKORVEL_BUILD_TESTS=OFF.")
endif()
# SYSTEM: the decoder's own code is not held to this project's warning flags.
target_include_directories(korvel_tests SYSTEM PRIVATE ${KORVEL_STB_INCLUDE_DIR})
