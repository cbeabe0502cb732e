// The build's own platform on Windows: the real Win32 services.
#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_adapter_list.h"
#include "platform/win32/win32_clock_shell.h"
#include "platform/win32/win32_com.h"
#include "platform/win32/win32_connections.h"
#include "platform/win32/win32_connections_folder.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_internet.h"
#include "platform/win32/win32_mutexes.h"
#include "platform/win32/win32_network_config.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_sockets.h"
#include "platform/win32/win32_spooler.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_text_codec.h"

namespace nebrin::platform {
namespace {

class Win32Platform final : public Platform {
 public:
  Registry& registry() override { return registry_; }
  AdapterList& adapters() override { return adapters_; }
  SystemInfo& system() override { return system_; }
  TextCodec& text() override { return text_; }
  Sockets& sockets() override { return sockets_; }
  InternetClient& internet() override { return internet_; }
  NetworkConnections& connections() override { return connections_; }
  Spooler& spooler() override { return spooler_; }
  Shell& shell() override { return shell_; }
  Clock& clock() override { return clock_; }
  Processes& processes() override { return processes_; }
  Files& files() override { return files_; }
  Com& com() override { return com_; }
  Dialogs& dialogs() override { return dialogs_; }
  ServiceManager& serviceManager() override { return services_; }
  ConnectionsFolder& connectionsFolder() override { return folder_; }
  DeviceIo& deviceIo() override { return devices_; }
  NetworkConfig& networkConfig() override { return netcfg_; }
  Mutexes& mutexes() override { return mutexes_; }

 private:
  win32::Win32Registry registry_;
  win32::Win32AdapterList adapters_;
  win32::Win32SystemInfo system_;
  win32::Win32TextCodec text_;
  win32::Win32Sockets sockets_;
  win32::Win32InternetClient internet_;
  win32::Win32NetworkConnections connections_;
  win32::Win32Spooler spooler_;
  win32::Win32Shell shell_;
  win32::Win32Clock clock_;
  win32::Win32Processes processes_;
  win32::Win32Files files_;
  win32::Win32Com com_;
  win32::Win32Dialogs dialogs_;
  win32::Win32ServiceManager services_;
  win32::Win32ConnectionsFolder folder_;
  win32::Win32DeviceIo devices_;
  win32::Win32NetworkConfig netcfg_;
  win32::Win32Mutexes mutexes_;
};

}  // namespace

std::shared_ptr<Platform> MakeDefaultPlatform() { return std::make_shared<Win32Platform>(); }

}  // namespace nebrin::platform
