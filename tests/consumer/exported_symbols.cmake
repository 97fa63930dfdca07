# Checks that the shared library's dynamic symbol table defines Pallisk and nothing else, so the
# toolkit and the C++ runtime inside it cannot clash with a host's own copies.
# Driven by ctest -R ExportsOnlyPallisk; by hand:
#   cmake -DNM=nm -DLIBRARY=build/release/module/libKorvelPallisk.so \
#         -P tests/consumer/exported_symbols.cmake
execute_process(COMMAND "${NM}" -D --defined-only "${LIBRARY}"
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}: ${errors}")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "address type name"; a name may carry a version suffix such as @@VERS_1.
  if(line MATCHES "^[0-9a-fA-F]* +[A-Za-z] +([^ @]+)")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT names STREQUAL "Pallisk")
  message(FATAL_ERROR "have defined dynamic symbols [${names}], want [Pallisk]\n${listing}")
endif()
