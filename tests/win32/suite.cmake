# The Win32 integration suite's programs: Google Test from the distribution's sources, the suite
# itself and the stand-in for the ad hoc tool. Included by the x86-64 build and by the i686 suite's
# own build (i686_suite/), which gives the test programs the posix thread model they need.
set(suite_dir ${CMAKE_CURRENT_LIST_DIR})

# Google Test, static, without gmock.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(win32_integration_tests
  ${suite_dir}/registry_fixture.cpp
  ${suite_dir}/adapter_discovery_test.cpp
  ${suite_dir}/library_test.cpp
  ${suite_dir}/platform_seam_test.cpp
  ${suite_dir}/store_test.cpp
  ${suite_dir}/store_processes_test.cpp
  ${suite_dir}/diag_printers_test.cpp
  ${suite_dir}/apply_script_test.cpp
  ${suite_dir}/sharing_test.cpp
  ${suite_dir}/wlan_test.cpp
)
# The DLL for the members; the library's Win32 platform, linked in, for the seam's services.
target_link_libraries(win32_integration_tests PRIVATE
  NebrinCoreDll nebrin_win32_platform gtest gtest_main iphlpapi advapi32 ws2_32 winspool ole32
  shell32)
# Self-contained executable: no mingw runtime DLLs needed beside it.
target_link_options(win32_integration_tests PRIVATE -static)

# Stands in for the ad hoc tool: the tests copy it under Program Files as Tamsel.exe.
add_executable(adhoc_tool_probe ${suite_dir}/adhoc_tool_probe.cpp)
target_link_options(adhoc_tool_probe PRIVATE -static -municode)
add_dependencies(win32_integration_tests adhoc_tool_probe)
