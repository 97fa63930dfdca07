# The fuzz targets, one per entry point: <folder>/<name>_fuzzer.cpp mirrors the source folders.
# Shared by the libFuzzer build (fuzz/CMakeLists.txt) and the corpus replay (fuzz/replay.cmake).
set(KORVEL_FUZZ_TARGETS bmp/load bmp/header_inspection ops/rescale_copy ops/pallisk)
set(KORVEL_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
# Seeds: the BMP Suite copy and regression files under fuzz/corpus, and the bundled samples.
set(KORVEL_FUZZ_SEEDS ${KORVEL_FUZZ_DIR}/corpus ${PROJECT_SOURCE_DIR}/samples)

# An executable running target `path` (such as bmp/load) with `main_source` as its driver.
function(korvel_add_fuzz_executable executable path)
  get_filename_component(name ${path} NAME)
  add_executable(${executable} ${KORVEL_FUZZ_DIR}/${path}_fuzzer.cpp
                               ${KORVEL_FUZZ_DIR}/support/fuzz_support.cpp
                               ${KORVEL_FUZZ_DIR}/support/expected_load.cpp ${ARGN})
  if(name STREQUAL "pallisk")
    # The exported function itself, compiled in rather than loaded from the shared library.
    target_sources(${executable} PRIVATE ${PROJECT_SOURCE_DIR}/ops/pallisk.cpp)
  endif()
  target_include_directories(${executable} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${executable} PRIVATE korvel_toolkit korvel_platform)
  korvel_set_warnings(${executable})
endfunction()
