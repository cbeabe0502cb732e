# Installs the build into a fresh PREFIX, checks the kit's layout, zips it with CPack and checks
# that the zip holds exactly the installed files under its top folder.
# Usage: cmake -DBUILD=<build dir> -DPREFIX=<dir> -DPACKAGE_DIR=<dir> -DPACKAGE=<zip name stem>
#              -DSYSTEM=Windows|Linux -DCPACK=<cpack> -P check_kit.cmake
set(failures 0)
# check(<what> <condition>...): the condition as if() takes it.
macro(check what)
  if(${ARGN})
    message(STATUS "ok      ${what}")
  else()
    message(STATUS "FAILED  ${what}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

file(REMOVE_RECURSE "${PREFIX}" "${PACKAGE_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(STATUS "${output}")
endif()
check("cmake --install succeeds" status EQUAL 0)

set(expected
  include/NebrinCoreDll.h
  lib/cmake/NebrinCoreDll/NebrinCoreDllConfig.cmake
  lib/cmake/NebrinCoreDll/NebrinCoreDllConfigVersion.cmake
  share/doc/NebrinCoreDll/host-guide.md
  share/doc/NebrinCoreDll/profile-file.md
  share/doc/NebrinCoreDll/third-party.md
  share/doc/NebrinCoreDll/licences/libcli11-dev.txt
  share/doc/NebrinCoreDll/licences/nlohmann-json3-dev.txt)
if(SYSTEM STREQUAL "Windows")
  list(APPEND expected
    bin/NebrinCoreDll.dll bin/nebrin.exe lib/NebrinCoreDll.lib lib/libNebrinCoreDll.dll.a
    share/doc/NebrinCoreDll/examples/profile_host/CMakeLists.txt
    share/doc/NebrinCoreDll/examples/profile_host/profile_host.cpp
    share/doc/NebrinCoreDll/licences/gcc-mingw-w64-base.txt
    share/doc/NebrinCoreDll/licences/mingw-w64-common.txt)
else()
  list(APPEND expected bin/nebrin lib/libNebrinCoreDll.so)
endif()
foreach(file IN LISTS expected)
  check("the kit has ${file}" EXISTS ${PREFIX}/${file})
endforeach()
if(NOT SYSTEM STREQUAL "Windows")
  check("the Linux kit leaves out the Windows example host"
        NOT EXISTS ${PREFIX}/share/doc/NebrinCoreDll/examples)
endif()
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)

execute_process(COMMAND ${CPACK} -G ZIP -B "${PACKAGE_DIR}" WORKING_DIRECTORY "${BUILD}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(STATUS "${output}")
endif()
set(zip "${PACKAGE_DIR}/${PACKAGE}.zip")
check("cpack makes ${PACKAGE}.zip" status EQUAL 0 AND EXISTS ${zip})
if(EXISTS "${zip}")
  file(SIZE "${zip}" size)
  message(STATUS "        ${PACKAGE}.zip: ${size} bytes")
  set(unpacked "${PACKAGE_DIR}/unpacked")
  file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${unpacked}")
  file(GLOB_RECURSE zipped RELATIVE "${unpacked}/${PACKAGE}" "${unpacked}/${PACKAGE}/*")
  list(SORT zipped)
  check("the zip holds the installed files under ${PACKAGE}/" installed STREQUAL zipped)
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
