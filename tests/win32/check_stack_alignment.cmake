# Checks that the i686 DLL's code needs no more than the 4-byte stack alignment 32-bit Windows
# guarantees: a host built with Microsoft's compiler, and Windows when it calls the entry point,
# may call in with the stack at any multiple of 4, while GCC assumes 16 for SSE stack slots. Fails
# on an SSE instruction with a stack operand (%esp or %ebp based) unless it is one of the forms
# that accept any alignment, or its function realigns the stack itself (`and $0xfffffff0,%esp`).
# So aligned moves (movdqa, movaps, movapd, movntdq, ...) and packed arithmetic, logic, shuffles
# and conversions (cvtdq2ps, cvtps2dq, ...) reading 16 bytes from the stack are caught.
# Usage: cmake -DOBJDUMP=<objdump> -DDLL=<dll> -P check_stack_alignment.cmake
cmake_minimum_required(VERSION 3.25)
# The SSE mnemonics whose memory operand may lie at any address (with or without the VEX "v"):
# unaligned 16-byte moves, moves and conversions of 4 or 8 bytes, element inserts and extracts,
# and scalar arithmetic and comparisons (the "ss"/"sd" forms; the packed integer pminsd/pmaxsd
# also end so and are not scalar).
set(unaligned_mnemonics
  "movups|movupd|movdqu|lddqu|movd|movq|movlps|movlpd|movhps|movhpd|movss|movsd|movddup"
  "cvtps2pd|cvtdq2pd|cvtpi2ps|cvtpi2pd|cvtt?s[sd]2si[lq]?|cvtsi2s[sd][lq]?"
  "pinsr[bwdq]|pextr[bwdq]|insertps|extractps")
list(JOIN unaligned_mnemonics "|" unaligned_mnemonics)
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
    # The mnemonic is the first word after the address; an unreadable line counts as a finding.
    set(mnemonic "")
    if(line MATCHES "^ *[0-9a-f]+:[ \t]+([a-z0-9]+)")
      set(mnemonic ${CMAKE_MATCH_1})
    endif()
    if(NOT mnemonic MATCHES "^v?(${unaligned_mnemonics})$"
       AND NOT mnemonic MATCHES "^v?[a-oq-uw-z][a-z0-9]*s[sd]$")
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
