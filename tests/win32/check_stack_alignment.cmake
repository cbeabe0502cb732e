# Checks that the i686 DLL's code needs no more than the 4-byte stack alignment 32-bit Windows
# guarantees: a host built with Microsoft's compiler, and Windows when it calls the entry point,
# may call in with the stack at any multiple of 4, while GCC assumes 16 for SSE stack slots. Fails
# on an SSE instruction with a stack operand that must be 16-byte aligned, unless its function
# realigns the stack itself (`and $0xfffffff0,%esp`).
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_stack_alignment.cmake
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${DLL}
  OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -d ${DLL} failed: ${error}")
endif()
string(REPLACE "\r" "" dump "${dump}")
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

set(found "")
set(function "")
set(realigned FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+ <([^>]+)>:$")
    set(function ${CMAKE_MATCH_1})
    set(realigned FALSE)
  elseif(line MATCHES "and +\\$0xfffffff0,%esp")
    set(realigned TRUE)
  elseif(NOT realigned AND line MATCHES "%xmm" AND line MATCHES "\\(%e[sb]p")
    # The forms that accept any alignment: unaligned moves and scalar loads and stores.
    set(unaligned_forms "v?movu|v?movs[sd]|v?movq|v?movd|v?movl|v?movh|v?lddqu|cvt|ucomis|comis")
    if(NOT line MATCHES "[ \t](${unaligned_forms}|[a-z]+s[sd][ \t])")
      string(STRIP "${line}" line)
      list(APPEND found "${function}: ${line}")
    endif()
  endif()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "${DLL} has aligned SSE stack accesses without realignment:\n  ${text}")
endif()
message(STATUS "${DLL} needs no more than 4-byte stack alignment")
