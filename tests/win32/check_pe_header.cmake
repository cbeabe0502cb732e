# Checks the PE header of a DLL that must load on XP (NT 5.1): the operating-system and subsystem
# versions it asks for are at most 5.1 (a higher one and XP's loader refuses it), and it is built
# for address-space randomisation and no-execute data (DYNAMIC_BASE, NX_COMPAT).
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_pe_header.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL}
  OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${error}")
endif()
string(REPLACE "\r" "" dump "${dump}")

# The value of a header field objdump prints as "Name<tabs>value".
function(header_field name out)
  if(NOT dump MATCHES "\n${name}[ \t]+([0-9A-Fa-f]+)\n")
    message(FATAL_ERROR "${DLL}: objdump shows no ${name}")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

set(problems "")
foreach(kind OSystem Image Subsystem)
  header_field(Major${kind}Version major)
  header_field(Minor${kind}Version minor)
  if(major GREATER 5 OR (major EQUAL 5 AND minor GREATER 1))
    list(APPEND problems "${kind} version ${major}.${minor} is above 5.1")
  endif()
  string(APPEND versions " ${kind} ${major}.${minor}")
endforeach()

header_field(DllCharacteristics characteristics)
math(EXPR flags "0x${characteristics}")
math(EXPR dynamic_base "${flags} & 0x40")
math(EXPR nx_compat "${flags} & 0x100")
if(dynamic_base EQUAL 0)
  list(APPEND problems "DYNAMIC_BASE is not set (DllCharacteristics ${characteristics})")
endif()
if(nx_compat EQUAL 0)
  list(APPEND problems "NX_COMPAT is not set (DllCharacteristics ${characteristics})")
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${DLL}:\n  ${text}")
endif()
message(STATUS "${DLL}:${versions}; DYNAMIC_BASE and NX_COMPAT set")
