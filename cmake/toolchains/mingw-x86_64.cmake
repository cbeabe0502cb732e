# Cross-build for 64-bit Windows, used to run the Win32 integration tests under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(NEBRIN_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: Google Test needs std::mutex, which GCC 12's win32 model lacks. Wine
# has every API winpthreads imports.
set(CMAKE_C_COMPILER ${NEBRIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEBRIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${NEBRIN_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${NEBRIN_MINGW_TRIPLET}-objdump)

# Same API level as the product build, so the tests exercise the code the product compiles.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE)

set(CMAKE_FIND_ROOT_PATH /usr/${NEBRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest starts every test executable through wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
