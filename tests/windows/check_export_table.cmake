# Checks a Windows build of the library through its export table, as objdump reads it: exactly
# one entry, ordinal 1, named Pallisk (undecorated on 32-bit x86 too), in a table that records
# the file name as KORVELPALLISK.dll.
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DDLL=build/windows-x64/bin/KorvelPallisk.dll \
#         -P tests/windows/check_export_table.cmake
# (CTest runs it as WindowsExportTable in the windows-x64 build; .ci/steps/40-windows.sh runs it
# on the 32-bit DLL.)
foreach(variable OBJDUMP DLL)
  if(NOT ${variable})
    message(FATAL_ERROR "set -D${variable}=...")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${result}")
endif()

string(FIND "${dump}" "There is an export table" start)
if(start EQUAL -1)
  message(FATAL_ERROR "have no export table in ${DLL}, want one")
endif()
string(SUBSTRING "${dump}" ${start} -1 exports)
string(FIND "${exports}" "PE File Base Relocations" end)
if(NOT end EQUAL -1)
  string(SUBSTRING "${exports}" 0 ${end} exports)
endif()

set(failures "")
function(expect_field regex want what)
  if(exports MATCHES "${regex}")
    if(NOT CMAKE_MATCH_1 STREQUAL "${want}")
      string(APPEND failures "${what}: have '${CMAKE_MATCH_1}', want '${want}'\n")
    endif()
  else()
    string(APPEND failures "${what}: not found in objdump's output\n")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

expect_field("\nName[ \t]+[0-9a-fA-F]+ ([^\n]*)\n" "KORVELPALLISK.dll" "recorded file name")
expect_field("Ordinal Base[ \t]+([0-9]+)" "1" "ordinal base")
expect_field("Export Address Table[ \t]+([0-9a-fA-F]+)\n" "00000001" "address table entries")
expect_field("\\[Name Pointer/Ordinal\\] Table[ \t]+([0-9a-fA-F]+)" "00000001" "name entries")

# Every "[index] +base[ordinal]" line of the address table, and every name of the name table.
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" ordinals "${exports}")
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+[^\n]+\n)*)" names "${exports}")
string(REGEX MATCHALL "\\] [^\n]+" names "${CMAKE_MATCH_1}")
if(NOT ordinals STREQUAL "+base[   1]")
  string(APPEND failures "ordinals: have '${ordinals}', want '+base[   1]'\n")
endif()
if(NOT names STREQUAL "] Pallisk")
  string(APPEND failures "names: have '${names}', want '] Pallisk' (undecorated, at index 0)\n")
endif()

if(failures)
  message(FATAL_ERROR "export table of ${DLL}:\n${failures}")
endif()
message(STATUS "export table of ${DLL}: ordinal 1 Pallisk in KORVELPALLISK.dll")
