// A platform that hands every service of another platform through: derive from it and override
// only the services a host or a benchmark replaces (watching echo requests, a real clock).
#pragma once

#include "platform/platform.h"

namespace nebrin::platform {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  Registry& registry() override { return inner_.registry(); }
  AdapterList& adapters() override { return inner_.adapters(); }
  SystemInfo& system() override { return inner_.system(); }
  TextCodec& text() override { return inner_.text(); }
  Sockets& sockets() override { return inner_.sockets(); }
  InternetClient& internet() override { return inner_.internet(); }
  NetworkConnections& connections() override { return inner_.connections(); }
  Spooler& spooler() override { return inner_.spooler(); }
  Shell& shell() override { return inner_.shell(); }
  Clock& clock() override { return inner_.clock(); }
  Processes& processes() override { return inner_.processes(); }
  Files& files() override { return inner_.files(); }
  Com& com() override { return inner_.com(); }
  Dialogs& dialogs() override { return inner_.dialogs(); }
  ServiceManager& serviceManager() override { return inner_.serviceManager(); }
  ConnectionsFolder& connectionsFolder() override { return inner_.connectionsFolder(); }
  DeviceIo& deviceIo() override { return inner_.deviceIo(); }
  NetworkConfig& networkConfig() override { return inner_.networkConfig(); }
  Mutexes& mutexes() override { return inner_.mutexes(); }

 private:
  Platform& inner_;
};

}  // namespace nebrin::platform
