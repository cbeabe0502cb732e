# Included by src/CMakeLists.txt after the NebrinCoreDll target. Reads the chief header with
# clang (generate_exports.cmake) into NEBRIN_EXPORTS_DIR: the list of members the export checks
# use and, on Windows, the module definitions that give the DLL Microsoft's names and make
# NebrinCoreDll.lib beside it.
find_program(NEBRIN_CLANG NAMES clang++-14 clang++ REQUIRED)

set(exports_dir ${CMAKE_CURRENT_SOURCE_DIR}/exports)
set(exports_outputs ${NEBRIN_EXPORTS_DIR}/exported_members.cmake)
if(WIN32)
  set(exports_system Windows)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(exports_arch x86_64)
    set(dlltool_machine i386:x86-64)
  else()
    set(exports_arch i686)
    set(dlltool_machine i386)
  endif()
  list(APPEND exports_outputs
    ${NEBRIN_EXPORTS_DIR}/NebrinCoreDll.def
    ${NEBRIN_EXPORTS_DIR}/NebrinCoreDll-msvc.def
    ${NEBRIN_EXPORTS_DIR}/member_references.cpp)
else()
  set(exports_system Linux)
  set(exports_arch x86_64)
endif()

add_custom_command(OUTPUT ${exports_outputs}
  COMMAND ${CMAKE_COMMAND} -DCLANG=${NEBRIN_CLANG} -DINCLUDE_DIR=${PROJECT_SOURCE_DIR}/include
          -DSYSTEM=${exports_system} -DARCH=${exports_arch} -DOUTPUT_DIR=${NEBRIN_EXPORTS_DIR}
          -P ${exports_dir}/generate_exports.cmake
  DEPENDS
    ${PROJECT_SOURCE_DIR}/include/NebrinCoreDll.h
    ${exports_dir}/members_not_built.txt
    ${exports_dir}/generate_exports.cmake
    ${exports_dir}/header_members.cpp
    ${exports_dir}/msvc_shims/cstddef
    ${exports_dir}/msvc_shims/cstdint
  COMMENT "Naming the exported members of NebrinCoreDll.h"
  VERBATIM)
add_custom_target(nebrin_exports ALL DEPENDS ${exports_outputs})

if(WIN32)
  # GNU ld adds the Microsoft names as aliases; GCC's come from the classes' dllexport.
  target_sources(NebrinCoreDll PRIVATE ${NEBRIN_EXPORTS_DIR}/NebrinCoreDll.def)

  # The import library for Microsoft's linker, beside the DLL.
  find_program(NEBRIN_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool REQUIRED)
  set(msvc_import_library ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/NebrinCoreDll.lib)
  add_custom_command(OUTPUT ${msvc_import_library}
    COMMAND ${NEBRIN_LLVM_DLLTOOL} -m ${dlltool_machine} -d ${NEBRIN_EXPORTS_DIR}/NebrinCoreDll-msvc.def
            -l ${msvc_import_library}
    DEPENDS ${NEBRIN_EXPORTS_DIR}/NebrinCoreDll-msvc.def
    COMMENT "Making NebrinCoreDll.lib"
    VERBATIM)
  add_custom_target(NebrinCoreDll_msvc_lib ALL DEPENDS ${msvc_import_library})
  set_property(GLOBAL PROPERTY NEBRIN_MSVC_IMPORT_LIBRARY ${msvc_import_library})
endif()
