# Checks a library's export table against the members clang read from the chief header
# (exported_members.cmake, written by src/exports/generate_exports.cmake):
# - every built member is exported under GCC's name and, from a Windows DLL, under Microsoft's;
# - a member listed in src/exports/members_not_built.txt is exported under neither (a member that
#   landed must leave that list);
# - Windows: Microsoft's name of a member or copy assignment is GCC's very code (same address),
#   of a constructor its own thunk; and the DLL exports nothing else (the platform installation
#   in particular stays inside).
# Usage: cmake -DFORMAT=coff|elf -DTOOL=<llvm-readobj|nm> -DLIBRARY=<file> -DMANIFEST=<file>
#        -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})

if(FORMAT STREQUAL "coff")
  execute_process(COMMAND ${TOOL} --coff-exports ${LIBRARY}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
else()
  execute_process(COMMAND ${TOOL} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TOOL} could not read ${LIBRARY}: ${error}")
endif()

# Exported names, and for a DLL the address of each.
set(exported "")
if(FORMAT STREQUAL "coff")
  string(REGEX MATCHALL "Name: [^\n]+\n *RVA: 0x[0-9A-Fa-f]+" entries "${dump}")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "Name: ([^\n]+)\n *RVA: (0x[0-9A-Fa-f]+)" "\\1" name "${entry}")
    string(REGEX REPLACE "Name: ([^\n]+)\n *RVA: (0x[0-9A-Fa-f]+)" "\\2" address "${entry}")
    list(APPEND exported "${name}")
    set("address_${name}" ${address})
  endforeach()
else()
  string(REGEX MATCHALL "[^\n ]+\n" entries "${dump}")
  foreach(entry IN LISTS entries)
    string(STRIP "${entry}" name)
    list(APPEND exported "${name}")
  endforeach()
endif()

set(problems "")
set(allowed "")
set(built_count 0)
set(waiting_count 0)
list(LENGTH NEBRIN_MEMBER_NAMES count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET NEBRIN_MEMBER_NAMES ${i} member)
  list(GET NEBRIN_MEMBER_KINDS ${i} kind)
  list(GET NEBRIN_MEMBER_GCC ${i} gcc)
  list(GET NEBRIN_MEMBER_BUILT ${i} built)
  set(names ${gcc})
  if(kind STREQUAL "constructor")
    # GCC also exports the base-object constructor beside the complete-object one.
    string(REPLACE "C1E" "C2E" base_object ${gcc})
    list(APPEND allowed ${base_object})
  endif()
  if(FORMAT STREQUAL "coff")
    list(GET NEBRIN_MEMBER_MSVC ${i} msvc)
    list(APPEND names ${msvc})
  endif()
  list(APPEND allowed ${names})

  if(NOT built)
    math(EXPR waiting_count "${waiting_count} + 1")
    foreach(name IN LISTS names)
      if(name IN_LIST exported)
        list(APPEND problems "${member} is built (${name} is exported): delete its line from src/exports/members_not_built.txt")
        break()
      endif()
    endforeach()
    continue()
  endif()
  math(EXPR built_count "${built_count} + 1")
  foreach(name IN LISTS names)
    if(NOT name IN_LIST exported)
      list(APPEND problems "${member} is not exported as ${name}")
    endif()
  endforeach()
  if(FORMAT STREQUAL "coff" AND gcc IN_LIST exported AND msvc IN_LIST exported)
    if(kind STREQUAL "constructor")
      if(address_${gcc} STREQUAL address_${msvc})
        list(APPEND problems "${msvc} is GCC's constructor, which does not return the object")
      endif()
    elseif(NOT address_${gcc} STREQUAL address_${msvc})
      list(APPEND problems "${msvc} is not the code of ${gcc}")
    endif()
  endif()
endforeach()

if(FORMAT STREQUAL "coff")
  foreach(name IN LISTS exported)
    if(NOT name IN_LIST allowed)
      list(APPEND problems "${name} is exported but is no member of the header")
    endif()
  endforeach()
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${LIBRARY}:\n  ${text}")
endif()
message(STATUS "${LIBRARY}: the header declares ${count} members; ${built_count} are exported, "
               "${waiting_count} are listed as not built yet")
