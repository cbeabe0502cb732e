# Reads the code behind the i686 DLL's exports, for what a host built with Microsoft's compiler
# relies on (the export check has shown that Microsoft's name of each member is GCC's code):
# - every member pops its own arguments: each of its returns is `ret 4*N` for N parameters
#   (every parameter of the header is a 4-byte pointer, reference, integer or enumeration), a
#   plain `ret` without parameters;
# - every constructor thunk returns the object's address, which arrives in ECX, in EAX.
# Usage: cmake -DOBJDUMP=<llvm-objdump> -DDLL=<dll> -DMANIFEST=<file> -P check_i686_calls.cmake
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})

# The functions to read: each built member's GCC symbol (i686 symbols carry one more leading
# underscore than their export names) or its constructor thunk.
set(symbols "")
list(LENGTH NEBRIN_MEMBER_NAMES count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET NEBRIN_MEMBER_BUILT ${i} built)
  if(NOT built)
    continue()
  endif()
  list(GET NEBRIN_MEMBER_NAMES ${i} member)
  list(GET NEBRIN_MEMBER_KINDS ${i} kind)
  list(GET NEBRIN_MEMBER_PARAMS ${i} params)
  if(kind STREQUAL "constructor")
    string(REGEX REPLACE "::.*" "" class "${member}")
    set(symbol _nebrin_msvc_constructor_${class})
    set(pops 0)
  else()
    list(GET NEBRIN_MEMBER_GCC ${i} gcc)
    set(symbol _${gcc})
    math(EXPR pops "${params} * 4")
  endif()
  list(APPEND symbols ${symbol})
  set(member_${symbol} "${member}")
  set(kind_${symbol} ${kind})
  set(pops_${symbol} ${pops})
endforeach()

set(problems "")
set(seen "")

# Ends the function being read.
macro(finish_symbol)
  if(NOT symbol STREQUAL "" AND returns EQUAL 0)
    list(APPEND problems "${member_${symbol}}: no return found in ${symbol}")
  endif()
endmacro()

# Reads the functions in `to_read`. A function may end in a jump to another function (GCC's tail
# call into a clone of the member's body): the jump stands for its return, and the function jumped
# to is read next with the same expectations, so its own returns must pop what the member's
# caller pushed.
set(to_read ${symbols})
while(to_read)
  list(JOIN to_read "," wanted)
  set(tails "")
  execute_process(
    COMMAND ${OBJDUMP} -d --no-show-raw-insn --x86-asm-syntax=intel
            --disassemble-symbols=${wanted} ${DLL}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not disassemble ${DLL}: ${error}")
  endif()
  string(REPLACE ";" "," dump "${dump}")
  string(REPLACE "\n" ";" lines "${dump}")
  set(symbol "")

  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ <([^>]+)>:$")
      finish_symbol()
      set(symbol "${CMAKE_MATCH_1}")
      list(APPEND seen "${symbol}")
      set(returns 0)
      set(holding ecx)  # registers that hold the object's address, for a thunk
      continue()
    endif()
    if(symbol STREQUAL "" OR NOT line MATCHES "^ *[0-9a-f]+:[ \t]+([a-z]+)[ \t]*(.*)$")
      continue()
    endif()
    set(mnemonic ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" operands)
    string(REGEX REPLACE ",.*" "" first "${operands}")
    string(REGEX REPLACE "^[^,]*, *" "" second "${operands}")

    # A jump into the function's own cold part (GCC's `.cold` split) stays inside it.
    if(mnemonic STREQUAL "jmp" AND operands MATCHES "^0x[0-9a-f]+ <([^+>]+)>$"
       AND NOT CMAKE_MATCH_1 STREQUAL symbol AND NOT CMAKE_MATCH_1 MATCHES "\\.cold")
      set(target "${CMAKE_MATCH_1}")
      math(EXPR returns "${returns} + 1")
      if(kind_${symbol} STREQUAL "constructor")
        list(APPEND problems "${member_${symbol}}: ${symbol} leaves by a jump, not returning the object")
      elseif(DEFINED pops_${target} AND NOT pops_${target} EQUAL pops_${symbol})
        list(APPEND problems "${member_${symbol}}: ${symbol} jumps to ${target}, which other members reach with ${pops_${target}} bytes to pop")
      elseif(NOT target IN_LIST seen AND NOT target IN_LIST tails)
        set(pops_${target} ${pops_${symbol}})
        set(kind_${target} ${kind_${symbol}})
        set(member_${target} "${member_${symbol}}")
        list(APPEND tails ${target})
      endif()
    elseif(mnemonic STREQUAL "ret")
      math(EXPR returns "${returns} + 1")
      set(popped 0)
      if(NOT operands STREQUAL "")
        math(EXPR popped "${operands}")
      endif()
      if(NOT popped EQUAL pops_${symbol})
        list(APPEND problems "${member_${symbol}}: `ret ${operands}` in ${symbol}, where the callee must pop ${pops_${symbol}} bytes")
      endif()
      if(kind_${symbol} STREQUAL "constructor" AND NOT "eax" IN_LIST holding)
        list(APPEND problems "${member_${symbol}}: ${symbol} returns without the object's address in EAX")
      endif()
    elseif(mnemonic STREQUAL "call")
      list(REMOVE_ITEM holding eax ecx edx)  # the registers a call may change
    elseif(mnemonic STREQUAL "mov")
      if(second IN_LIST holding)
        list(APPEND holding ${first})
      else()
        list(REMOVE_ITEM holding ${first})
      endif()
    elseif(mnemonic STREQUAL "pop")
      list(REMOVE_ITEM holding ${first})
    elseif(NOT mnemonic MATCHES "^(push|cmp|test|j[a-z]+|nop)$")
      list(REMOVE_ITEM holding ${first})  # any other instruction may write its first operand
    endif()
  endforeach()
  finish_symbol()
  set(to_read ${tails})
endwhile()

foreach(wanted_symbol IN LISTS symbols)
  if(NOT wanted_symbol IN_LIST seen)
    list(APPEND problems "${member_${wanted_symbol}}: ${wanted_symbol} is not in the DLL's code")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${DLL}:\n  ${text}")
endif()
list(LENGTH symbols checked)
message(STATUS "${DLL}: ${checked} exported functions pop their own arguments; the constructor "
               "thunks return the object")
