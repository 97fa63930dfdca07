# Replays the committed corpus through every fuzz target as ordinary tests (FuzzReplay.<name>),
# built with the normal compiler, so that every build guards against old findings:
#   ctest --preset release -R FuzzReplay
include(${PROJECT_SOURCE_DIR}/fuzz/targets.cmake)
foreach(path ${KORVEL_FUZZ_TARGETS})
  get_filename_component(name ${path} NAME)
  korvel_add_fuzz_executable(${name}_replay ${path} ${KORVEL_FUZZ_DIR}/support/replay_main.cpp)
  add_test(NAME FuzzReplay.${name} COMMAND ${name}_replay ${KORVEL_FUZZ_SEEDS})
endforeach()
