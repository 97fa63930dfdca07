# Installs the build into a fresh prefix, then configures, builds and runs tests/consumer against
# it. Driven by ctest -R InstalledPackage; by hand:
#   cmake -DBUILD_DIR=build/release -DSOURCE_DIR=. -DWORK_DIR=/tmp/consumer -DCONFIG=Release \
#         -P tests/consumer/run_consumer.cmake
# Optional: -DC_COMPILER, -DCXX_COMPILER, -DC_FLAGS, -DCXX_FLAGS, -DLINKER_FLAGS.
foreach(var BUILD_DIR SOURCE_DIR WORK_DIR CONFIG)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_consumer.cmake needs -D${var}=...")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "have exit status ${result}, want 0 from:\n  ${ARGN}\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}" --config "${CONFIG}")
# The same compilers and flags as the build, so that a sanitizer build's library links.
set(toolchain)
foreach(pair C_COMPILER:CMAKE_C_COMPILER CXX_COMPILER:CMAKE_CXX_COMPILER C_FLAGS:CMAKE_C_FLAGS
             CXX_FLAGS:CMAKE_CXX_FLAGS LINKER_FLAGS:CMAKE_EXE_LINKER_FLAGS)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(DEFINED ${from})
    list(APPEND toolchain "-D${to}=${${from}}")
  endif()
endforeach()
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}/tests/consumer" -B "${WORK_DIR}/build"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_BUILD_TYPE=${CONFIG}" ${toolchain}
    # The consumer must find the package in the prefix only, never in the build tree.
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON)
run(${CMAKE_COMMAND} --build "${WORK_DIR}/build" --config "${CONFIG}")

find_program(cpp_program consumer_cpp PATHS "${WORK_DIR}/build" "${WORK_DIR}/build/${CONFIG}"
             NO_DEFAULT_PATH REQUIRED)
find_program(c_program consumer_c PATHS "${WORK_DIR}/build" "${WORK_DIR}/build/${CONFIG}"
             NO_DEFAULT_PATH REQUIRED)
run("${cpp_program}" "${WORK_DIR}/from_cpp.bmp")
run("${c_program}" "${SOURCE_DIR}/samples/harbour.bmp" "${WORK_DIR}/from_c.bmp")
foreach(output from_cpp.bmp from_c.bmp)
  if(NOT EXISTS "${WORK_DIR}/${output}")
    message(FATAL_ERROR "have no ${WORK_DIR}/${output}, want the consumer's output")
  endif()
endforeach()
message(STATUS "installed package found, built against and run from ${prefix}")
