# Builds a consumer of the installed kit: by default the example host the kit ships, with one
# toolchain (none: the build machine's compiler).
# Usage: cmake -DKIT=<install prefix> -DBINARY=<build dir> [-DTOOLCHAIN=<file>] [-DSOURCE=<dir>]
#              [-DWITHOUT_CRT=ON] [-DFLAGS=<compiler and linker flags>] -P build_example.cmake
file(REMOVE_RECURSE "${BINARY}")
if(NOT SOURCE)
  set(SOURCE "${KIT}/share/doc/NebrinCoreDll/examples/profile_host")
endif()
set(arguments -S "${SOURCE}" -B "${BINARY}" -G Ninja -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${KIT})
if(TOOLCHAIN)
  list(APPEND arguments -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
if(FLAGS)
  # A library built with sanitizers wants its programs built with them too.
  list(APPEND arguments "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
endif()
if(WITHOUT_CRT)
  list(APPEND arguments -DNEBRIN_EXAMPLE_WITHOUT_CRT=ON)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${arguments} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring ${SOURCE} against the kit failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${BINARY}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building ${SOURCE} failed")
endif()
