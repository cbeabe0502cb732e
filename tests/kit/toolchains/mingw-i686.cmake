# A mingw-w64 host of the kit, for i686. The posix thread model, as a host that uses std::thread
# needs; the kit's DLL does not mind which model its host uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
