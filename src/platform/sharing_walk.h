// One walk over the sharing manager's connections, as the sharing operations and the connection
// checks make it. Starting a walk initialises COM on the calling thread and sets the process's
// COM security (the outcomes are not examined). Every object obtained is held until the walk
// ends; then the enumerator, the collection and the manager are released, in that order, and COM
// is uninitialised only when this walk's own initialisation succeeded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/com.h"
#include "platform/network_connections.h"

namespace nebrin::platform {

class SharingWalk {
 public:
  SharingWalk(Com& com, NetworkConnections& connections);
  SharingWalk(const SharingWalk&) = delete;
  SharingWalk& operator=(const SharingWalk&) = delete;

  // Creates the sharing manager; false when it cannot be created.
  bool CreateManager();
  // Gets the collection of every connection and its enumerator; false when either is missing.
  bool OpenEnumerator();
  // Takes elements until one is a connection and holds it in `connection`; false once Next
  // answers anything but S_OK.
  bool NextConnection(UniqueComRef& connection);
  // Starts the enumeration over; the outcome is not examined.
  void Reset();

  // The connection's properties; false when none are returned.
  bool Props(const UniqueComRef& connection, UniqueComRef& props);
  // The connection's sharing configuration; false when the call fails or returns none.
  bool Configuration(const UniqueComRef& connection, UniqueComRef& configuration);
  // The Guid of a connection's properties; nothing when it cannot be read (it then matches no
  // adapter, not even an empty name).
  std::optional<std::u16string> Guid(const UniqueComRef& props);

  Com& com() { return com_; }
  NetworkConnections& connections() { return connections_; }

 private:
  Com& com_;
  NetworkConnections& connections_;
  ComApartment apartment_;
  UniqueComRef manager_;
  UniqueComRef collection_;
  UniqueComRef enumerator_;
};

}  // namespace nebrin::platform
