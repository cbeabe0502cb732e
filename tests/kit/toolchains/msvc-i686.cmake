set(CMAKE_SYSTEM_PROCESSOR x86)
set(NEBRIN_MSVC_TARGET i686-pc-windows-msvc)
set(NEBRIN_MINGW_TRIPLET i686-w64-mingw32)
# mingw-w64's import libraries carry no safe exception handler tables.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Xlinker /safeseh:no")
include(${CMAKE_CURRENT_LIST_DIR}/msvc-common.cmake)
