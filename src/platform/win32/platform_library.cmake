# The Win32 services behind the seam as the static library nebrin_win32_platform, from the sources
# in NEBRIN_WIN32_PLATFORM_SOURCES (every source of this folder but the DLL's entry point). Linked
# into the DLL and into the Win32 tests. Included by src/CMakeLists.txt and by the i686 Win32
# suite's own build (tests/win32/i686_suite/).
add_library(nebrin_win32_platform STATIC ${NEBRIN_WIN32_PLATFORM_SOURCES})
# The seam's headers are included as "platform/...", from src/.
get_filename_component(nebrin_win32_platform_src ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
target_include_directories(nebrin_win32_platform PUBLIC ${nebrin_win32_platform_src})
target_link_libraries(nebrin_win32_platform PUBLIC
  iphlpapi advapi32 ws2_32 wininet ole32 oleaut32 uuid winspool psapi user32 shell32 shlwapi
  setupapi)
