# `cmake --install build/<preset> --prefix DIR` lays out the kit a host author takes:
#   bin/      NebrinCoreDll.dll and nebrin.exe (Linux: nebrin)
#   lib/      NebrinCoreDll.lib (Microsoft's linker) and libNebrinCoreDll.dll.a (mingw-w64);
#             Linux: libNebrinCoreDll.so
#   include/  NebrinCoreDll.h
#   lib/cmake/NebrinCoreDll/  the package configuration and version file for find_package
#   share/doc/NebrinCoreDll/  the host guide, the profile-file format, the licence notes of what is
#             linked in, and (Windows only) the example host
include(CMakePackageConfigHelpers)

set(NEBRIN_INSTALL_CMAKE_DIR lib/cmake/NebrinCoreDll)
set(NEBRIN_INSTALL_DOC_DIR share/doc/NebrinCoreDll)

install(TARGETS NebrinCoreDll
  RUNTIME DESTINATION bin
  LIBRARY DESTINATION lib
  ARCHIVE DESTINATION lib)
install(TARGETS nebrin RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/include/NebrinCoreDll.h DESTINATION include)
if(WIN32)
  get_property(msvc_import_library GLOBAL PROPERTY NEBRIN_MSVC_IMPORT_LIBRARY)
  install(FILES ${msvc_import_library} DESTINATION lib)
else()
  # The installed host finds the library in the kit's lib folder.
  set_target_properties(nebrin PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
endif()

# The package configuration knows the kit's system and the library's file names; the consumer's
# toolchain picks the import library when it is found.
if(WIN32)
  set(NEBRIN_KIT_SYSTEM Windows)
else()
  set(NEBRIN_KIT_SYSTEM Linux)
endif()
set(NEBRIN_KIT_LIBRARY $<TARGET_FILE_NAME:NebrinCoreDll>)
if(NOT WIN32)
  # A consumer records the library's soname, not its file name, as what it needs at run time.
  set(NEBRIN_KIT_SONAME $<TARGET_SONAME_FILE_NAME:NebrinCoreDll>)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/NebrinCoreDllConfig.cmake.in
               ${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfig.cmake.configured @ONLY)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfig.cmake
     INPUT ${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfig.cmake.configured)
# 0.x: a minor version may change the interface, so only the same minor version is compatible.
# The version file also refuses a consumer whose pointer size is not the library's.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfig.cmake
              ${CMAKE_BINARY_DIR}/kit/NebrinCoreDllConfigVersion.cmake
        DESTINATION ${NEBRIN_INSTALL_CMAKE_DIR})

install(FILES
  ${PROJECT_SOURCE_DIR}/docs/host-guide.md
  ${PROJECT_SOURCE_DIR}/docs/profile-file.md
  ${PROJECT_SOURCE_DIR}/docs/third-party.md
  DESTINATION ${NEBRIN_INSTALL_DOC_DIR})
# The licence texts of what the binaries carry, as Debian ships them (docs/third-party.md says
# which binary carries what).
set(linked_in_packages libcli11-dev nlohmann-json3-dev)
if(WIN32)
  list(APPEND linked_in_packages gcc-mingw-w64-base mingw-w64-common)
endif()
foreach(package IN LISTS linked_in_packages)
  set(copyright /usr/share/doc/${package}/copyright)
  if(EXISTS ${copyright})
    install(FILES ${copyright} DESTINATION ${NEBRIN_INSTALL_DOC_DIR}/licences
            RENAME ${package}.txt)
  else()
    # The build goes on; the kit test (kit_install_package) fails for the missing text.
    message(WARNING "${copyright} is missing: the kit lacks the licence text of ${package}")
  endif()
endforeach()
if(WIN32)
  # The example host is a Windows program; the Linux kit leaves it out.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${NEBRIN_INSTALL_DOC_DIR}/examples)
endif()
