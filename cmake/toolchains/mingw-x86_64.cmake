# Cross-build for 64-bit Windows, used to run the Win32 integration tests under wine64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(NEBRIN_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: Google Test needs std::mutex, which GCC 12's win32 model lacks. Wine
# has every API winpthreads imports.
set(NEBRIN_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest starts every test executable through wine64.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
