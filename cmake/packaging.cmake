# `cpack --preset <preset>` (or `cpack` in the build folder) zips the installed kit:
# NebrinCoreDll-<version>-win32.zip from the i686 build (the product), -win64.zip from the
# x86-64 one, -Linux.zip on Linux.
set(CPACK_PACKAGE_NAME NebrinCoreDll)
set(CPACK_PACKAGE_VENDOR "${NEBRIN_MAKER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NebrinCoreDll, the network-profile library, for host authors")
set(CPACK_GENERATOR ZIP)
if(NOT WIN32)
  # The Linux zip carries no debug information (the RelWithDebInfo build has plenty). The Windows
  # zips hold the installed files as they are: their Release binaries have none, and the kit
  # tests run the installed ones.
  set(CPACK_STRIP_FILES TRUE)
endif()
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
else()
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
# CPack's module reuses CPACK_PACKAGE_FILE_NAME for the source package; the tests need the binary
# package's name.
set(NEBRIN_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
