# The Win32 services behind the seam, as the static library nebrin_win32_platform: linked into the
# DLL, and into the Win32 tests, which reach the seam without the DLL exporting it. Included by
# src/CMakeLists.txt and by the i686 Win32 suite's own build (tests/win32/i686_suite/).
set(nebrin_win32_platform_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(nebrin_win32_platform STATIC
  ${nebrin_win32_platform_dir}/win32_platform.cpp
  ${nebrin_win32_platform_dir}/win32_registry.cpp
  ${nebrin_win32_platform_dir}/win32_adapter_list.cpp
  ${nebrin_win32_platform_dir}/win32_system_info.cpp
  ${nebrin_win32_platform_dir}/win32_text_codec.cpp
  ${nebrin_win32_platform_dir}/win32_clock_shell.cpp
  ${nebrin_win32_platform_dir}/win32_com.cpp
  ${nebrin_win32_platform_dir}/win32_connections.cpp
  ${nebrin_win32_platform_dir}/win32_dialogs.cpp
  ${nebrin_win32_platform_dir}/win32_internet.cpp
  ${nebrin_win32_platform_dir}/win32_sockets.cpp
  ${nebrin_win32_platform_dir}/win32_spooler.cpp
  ${nebrin_win32_platform_dir}/win32_processes.cpp
  ${nebrin_win32_platform_dir}/win32_files.cpp
  ${nebrin_win32_platform_dir}/win32_service_manager.cpp
  ${nebrin_win32_platform_dir}/win32_connections_folder.cpp
  ${nebrin_win32_platform_dir}/win32_device_io.cpp
  ${nebrin_win32_platform_dir}/win32_network_config.cpp
)
# The seam's headers are included as "platform/...", from src/.
get_filename_component(nebrin_win32_platform_src ${nebrin_win32_platform_dir}/../.. ABSOLUTE)
target_include_directories(nebrin_win32_platform PUBLIC ${nebrin_win32_platform_src})
target_link_libraries(nebrin_win32_platform PUBLIC
  iphlpapi advapi32 ws2_32 wininet ole32 oleaut32 uuid winspool psapi user32 shell32 shlwapi
  setupapi)
