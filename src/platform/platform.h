// The platform seam: one interface per operating-system service, reached through one
// process-wide accessor. Subsystem code sees only these interfaces.
#pragma once

#include <memory>

#include "platform/adapter_list.h"
#include "platform/clock.h"
#include "platform/com.h"
#include "platform/connections_folder.h"
#include "platform/device_io.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/internet_client.h"
#include "platform/mutexes.h"
#include "platform/network_config.h"
#include "platform/network_connections.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/service_manager.h"
#include "platform/shell.h"
#include "platform/sockets.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace nebrin::platform {

class Platform {
 public:
  virtual ~Platform() = default;

  virtual Registry& registry() = 0;
  virtual AdapterList& adapters() = 0;
  virtual SystemInfo& system() = 0;
  virtual TextCodec& text() = 0;
  virtual Sockets& sockets() = 0;
  virtual InternetClient& internet() = 0;
  virtual NetworkConnections& connections() = 0;
  virtual Spooler& spooler() = 0;
  virtual Shell& shell() = 0;
  virtual Clock& clock() = 0;
  virtual Processes& processes() = 0;
  virtual Files& files() = 0;
  virtual Com& com() = 0;
  virtual Dialogs& dialogs() = 0;
  virtual ServiceManager& serviceManager() = 0;
  virtual ConnectionsFolder& connectionsFolder() = 0;
  virtual DeviceIo& deviceIo() = 0;
  virtual NetworkConfig& networkConfig() = 0;
  virtual Mutexes& mutexes() = 0;
};

// The platform in force: the one a host installed, else the build's own (Win32 on Windows, Linux's
// native services elsewhere).
Platform& Current();

// The build's own platform, created on first use.
std::shared_ptr<Platform> MakeDefaultPlatform();

}  // namespace nebrin::platform
