// The simulated machine's service control manager over its service table, with Windows'
// semantics: access rights (without administrative rights a manager handle may only connect,
// enumerate, query the lock status and read control, a service handle only query, enumerate
// dependents, interrogate, send user-defined controls and read control), the errors of starting,
// controlling, creating and deleting services (a pending service takes no control but a stop
// while it starts), pending states that settle on the virtual clock, and services marked for
// deletion that go once they are stopped and no handle to them is open. It keeps a record of
// every handle it hands out. A call that runs out of memory answers ERROR_NOT_ENOUGH_MEMORY and
// changes nothing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/service_manager.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimServiceManager final : public platform::ServiceManager {
 public:
  explicit SimServiceManager(Machine::State& machine) : machine_(machine) {}

  Status OpenManager(std::u16string_view database, std::uint32_t access,
                     platform::ServiceHandle& manager) override;
  Status Open(platform::ServiceHandle manager, std::u16string_view name, std::uint32_t access,
              platform::ServiceHandle& service) override;
  Status Start(platform::ServiceHandle service) override;
  Status Control(platform::ServiceHandle service, std::uint32_t control,
                 platform::ServiceStatus& status) override;
  Status QueryServicesSize(platform::ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t& bytesNeeded) override;
  Status EnumerateServices(platform::ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t bufferBytes,
                           std::vector<platform::ServiceEntry>& entries,
                           std::uint32_t& bytesNeeded) override;
  Status Create(platform::ServiceHandle manager, const platform::ServiceRegistration& registration,
                platform::ServiceHandle& service) override;
  Status Delete(platform::ServiceHandle service) override;
  Status CloseHandle(platform::ServiceHandle handle) override;

  std::size_t OpenCount() const { return handles_.size(); }
  // Every handle handed out, oldest first.
  const std::vector<ServiceHandleOpened>& Opened() const { return opened_; }

 private:
  struct Holder {
    bool isManager = false;
    std::uint32_t access = 0;
    std::string database;  // as the manager was opened with it
    std::string service;   // the service's name as the table holds it, for a service handle
  };

  // Settles the pending states the virtual clock has reached and removes the services marked
  // for deletion that may go. It allocates nothing.
  void Settle() noexcept;
  const Holder* Find(platform::ServiceHandle handle, bool manager) const;
  // The table's service a service handle stands for, or null when it is gone.
  SimService* ServiceOf(const Holder& holder);
  // Hands out a handle and records it; throws std::bad_alloc having changed nothing.
  platform::ServiceHandle Add(Holder holder, bool created);

  Machine::State& machine_;
  std::map<platform::ServiceHandle, Holder> handles_;
  std::vector<ServiceHandleOpened> opened_;
  platform::ServiceHandle next_ = 0x00150000;
};

// The bytes one entry takes in an enumeration buffer: the 32-bit ENUM_SERVICE_STATUSW record and
// both names with their terminators.
std::uint32_t EnumerationBytes(const std::string& name, const std::string& displayName);

}  // namespace nebrin::sim
