#include "platform/sharing_walk.h"

namespace nebrin::platform {

SharingWalk::SharingWalk(Com& com, NetworkConnections& connections)
    : com_(com),
      connections_(connections),
      apartment_(com),
      manager_(com),
      collection_(com),
      enumerator_(com) {
  com.InitializeSecurity();
}

bool SharingWalk::CreateManager() {
  return !Failed(connections_.CreateSharingManager(manager_.receive())) && manager_;
}

bool SharingWalk::OpenEnumerator() {
  connections_.EnumEveryConnection(manager_.get(), collection_.receive());
  if (!collection_) return false;
  connections_.NewEnum(collection_.get(), enumerator_.receive());
  return static_cast<bool>(enumerator_);
}

bool SharingWalk::NextConnection(UniqueComRef& connection) {
  for (;;) {
    if (connections_.Next(enumerator_.get(), connection.receive()) != kSOk) return false;
    if (connection) return true;
  }
}

void SharingWalk::Reset() { connections_.Reset(enumerator_.get()); }

bool SharingWalk::Props(const UniqueComRef& connection, UniqueComRef& props) {
  connections_.ConnectionProps(manager_.get(), connection.get(), props.receive());
  return static_cast<bool>(props);
}

bool SharingWalk::Configuration(const UniqueComRef& connection, UniqueComRef& configuration) {
  const HResult result =
      connections_.SharingConfiguration(manager_.get(), connection.get(), configuration.receive());
  return !Failed(result) && configuration;
}

std::optional<std::u16string> SharingWalk::Guid(const UniqueComRef& props) {
  std::u16string guid;
  if (Failed(connections_.Guid(props.get(), guid))) return std::nullopt;
  return guid;
}

}  // namespace nebrin::platform
