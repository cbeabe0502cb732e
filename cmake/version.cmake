# The project's version, from project(VERSION) in the top CMakeLists.txt and nowhere else, on the
# binaries: a header for the programs that print it and, on Windows, a VERSIONINFO resource.
set(NEBRIN_PRODUCT_NAME "Nebrin")
set(NEBRIN_MAKER "The Nebrin developers")
set(NEBRIN_COPYRIGHT "Copyright (C) 2026 the Nebrin developers")

set(NEBRIN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/nebrin_version.h.in ${NEBRIN_GENERATED_DIR}/nebrin_version.h
               @ONLY)

if(WIN32)
  enable_language(RC)
endif()

# Gives a Windows target its VERSIONINFO resource: `description` is the FileDescription, the
# original file name is the target's own.
function(nebrin_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(NEBRIN_RC_FILE_TYPE 2)  # VFT_DLL
    set(NEBRIN_RC_FILE_NAME ${target}.dll)
  else()
    set(NEBRIN_RC_FILE_TYPE 1)  # VFT_APP
    set(NEBRIN_RC_FILE_NAME ${target}.exe)
  endif()
  set(NEBRIN_RC_INTERNAL_NAME ${target})
  set(NEBRIN_RC_DESCRIPTION "${description}")
  set(rc ${NEBRIN_GENERATED_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
