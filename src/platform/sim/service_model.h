// The simulated machine's service database: every service with its registration and its state.
// A start or stop request moves a service into a pending state, which settles after the
// service's start or stop time on the virtual clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nebrin::sim {

struct SimService {
  std::string name;  // compared without regard to case, as Windows does
  std::string displayName;
  std::uint32_t type = 0x10;       // SERVICE_WIN32_OWN_PROCESS; 0x20 shared, 0x01 kernel driver
  std::uint32_t startType = 3;     // SERVICE_DEMAND_START; 2 automatic, 4 disabled
  std::uint32_t errorControl = 1;  // SERVICE_ERROR_NORMAL
  std::string binaryPath;          // as registered
  std::uint32_t state = 1;         // SERVICE_STOPPED, _START_PENDING 2, _STOP_PENDING 3, _RUNNING 4
  // A pending state settles when the virtual clock reaches this tick.
  std::optional<std::uint32_t> settlesAtTick;
  std::uint32_t startMs = 0;  // how long a start stays pending
  std::uint32_t stopMs = 0;   // how long a stop stays pending
  // Marked for deletion: it goes once it is stopped and no handle to it is open.
  bool markedForDeletion = false;
};

// A handle the service manager handed out: the database its manager was opened with ("" for the
// default), the service (empty for a manager handle), the access asked for, and whether the
// handle came from creating the service.
struct ServiceHandleOpened {
  std::string database;
  std::string service;
  std::uint32_t access = 0;
  bool created = false;
};

struct ServiceTable {
  std::vector<SimService> services;  // in the order they were added; listed by name
};

}  // namespace nebrin::sim
