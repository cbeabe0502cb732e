# What both mingw-w64 toolchains share. The including file sets NEBRIN_MINGW_TRIPLET and
# NEBRIN_MINGW_THREADS (the compiler's thread model suffix) first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${NEBRIN_MINGW_TRIPLET}-gcc-${NEBRIN_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${NEBRIN_MINGW_TRIPLET}-g++-${NEBRIN_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${NEBRIN_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${NEBRIN_MINGW_TRIPLET}-objdump)

# The product targets the NT 5.1 generation: no API newer than XP may slip in. The test build
# uses the same level, so the tests exercise the code the product compiles.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE)

set(CMAKE_FIND_ROOT_PATH /usr/${NEBRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
