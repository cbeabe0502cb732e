# Checks that a DLL's export table names every member of exported_members.cmake.
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_exports.cmake
include(${CMAKE_CURRENT_LIST_DIR}/exported_members.cmake)

execute_process(COMMAND ${OBJDUMP} -p ${DLL}
  OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${error}")
endif()

# Each export table line ends with the exported name.
string(REPLACE "\r" "" dump "${dump}")
set(missing "")
foreach(member IN LISTS NEBRIN_EXPORTED_MEMBERS)
  string(FIND "${dump}" " ${member}\n" position)
  if(position EQUAL -1)
    list(APPEND missing ${member})
  endif()
endforeach()

if(missing)
  list(JOIN missing "\n  " text)
  message(FATAL_ERROR "${DLL} does not export:\n  ${text}")
endif()
list(LENGTH NEBRIN_EXPORTED_MEMBERS count)
message(STATUS "${DLL} exports all ${count} listed members")
