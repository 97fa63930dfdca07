# Fails when the README no longer shows an example file exactly as it is compiled.
# Driven by ctest -R DocExample.ShownInReadme; by hand:
#   cmake -DREADME=README.md "-DEXAMPLES=docs/examples/a.c;docs/examples/b.cpp" \
#         -P docs/examples/check_readme.cmake
file(READ "${README}" readme)
foreach(example IN LISTS EXAMPLES)
  file(READ "${example}" code)
  string(FIND "${readme}" "${code}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "have a README without the text of ${example}, want it shown verbatim")
  endif()
endforeach()
