# Runs a program and passes only when it exits with 0 and its standard output is what it should
# be (a test's PASS_REGULAR_EXPRESSION alone would let a failing exit status pass).
# Usage: cmake [-DLINE=<the whole standard output: this one line>] [-DMATCH=<regular expression>]
#              -P run_checked.cmake -- <program> [arguments...]
set(command "")
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(after_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()
if(NOT command)
  message(FATAL_ERROR "no program given after --")
endif()

# Only the standard output is checked: Wine may write notes of its own (a prefix it has just
# set up) to the error output.
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
message("${output}${errors}")  # for the log, and for the test's FAIL_REGULAR_EXPRESSION
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program exited with ${status}")
endif()
if(DEFINED LINE)
  if(NOT output MATCHES "^([^\r\n]*)\r?\n$" OR NOT CMAKE_MATCH_1 STREQUAL LINE)
    message(FATAL_ERROR "the output is not the one line \"${LINE}\"")
  endif()
endif()
if(DEFINED MATCH AND NOT output MATCHES "${MATCH}")
  message(FATAL_ERROR "the output does not match \"${MATCH}\"")
endif()
