# Builds the example host the kit ships, from the installed kit, with one toolchain.
# Usage: cmake -DKIT=<install prefix> -DTOOLCHAIN=<file> -DBINARY=<build dir> [-DWITHOUT_CRT=ON]
#              -P build_example.cmake
file(REMOVE_RECURSE "${BINARY}")
set(arguments -S "${KIT}/share/doc/NebrinCoreDll/examples/profile_host" -B "${BINARY}" -G Ninja
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_PREFIX_PATH=${KIT})
if(WITHOUT_CRT)
  list(APPEND arguments -DNEBRIN_EXAMPLE_WITHOUT_CRT=ON)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} ${arguments} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the example host against the kit failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${BINARY}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building the example host failed")
endif()
