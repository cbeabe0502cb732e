# Microsoft's ABI without Microsoft's tools, as a host author on Linux builds a host: clang for
# *-pc-windows-msvc, linked by lld-link. mingw-w64's kernel32 import library stands in for the
# Windows SDK's, and two small headers for Microsoft's C++ library (<cstddef>, <cstdint>: all the
# chief header needs); there is no C runtime, so the example host is built with
# NEBRIN_EXAMPLE_WITHOUT_CRT. The including file sets NEBRIN_MSVC_TARGET and NEBRIN_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${NEBRIN_MSVC_TARGET})
set(CMAKE_LINKER lld-link)
# Without a C runtime no test program links; the compiler checks compile only.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

get_filename_component(nebrin_source "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
set(CMAKE_CXX_FLAGS_INIT "-isystem ${nebrin_source}/src/exports/msvc_shims")
set(CMAKE_CXX_STANDARD_LIBRARIES "/usr/${NEBRIN_MINGW_TRIPLET}/lib/libkernel32.a"
    CACHE STRING "the system import libraries every program links")
