# The Win32 services behind the seam as the static library nebrin_win32_platform: every source of
# this folder but the DLL's entry point, listed here once. Linked into the DLL and into the Win32
# tests. Included by src/CMakeLists.txt and by the i686 Win32 suite's own build
# (tests/win32/i686_suite/).
set(NEBRIN_WIN32_PLATFORM_SOURCES
  win32_platform.cpp
  win32_registry.cpp
  win32_adapter_list.cpp
  win32_system_info.cpp
  win32_text_codec.cpp
  win32_clock_shell.cpp
  win32_com.cpp
  win32_connections.cpp
  win32_dialogs.cpp
  win32_internet.cpp
  win32_sockets.cpp
  win32_spooler.cpp
  win32_processes.cpp
  win32_files.cpp
  win32_service_manager.cpp
  win32_connections_folder.cpp
  win32_device_io.cpp
  win32_network_config.cpp
  win32_mutexes.cpp
)
list(TRANSFORM NEBRIN_WIN32_PLATFORM_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
add_library(nebrin_win32_platform STATIC ${NEBRIN_WIN32_PLATFORM_SOURCES})
# The seam's headers are included as "platform/...", from src/.
get_filename_component(nebrin_win32_platform_src ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
target_include_directories(nebrin_win32_platform PUBLIC ${nebrin_win32_platform_src})
target_link_libraries(nebrin_win32_platform PUBLIC
  iphlpapi advapi32 ws2_32 wininet ole32 oleaut32 uuid winspool psapi user32 shell32 shlwapi
  setupapi)
