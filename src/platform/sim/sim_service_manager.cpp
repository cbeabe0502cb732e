#include "platform/sim/sim_service_manager.h"

#include <algorithm>
#include <new>
#include <type_traits>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::kAccessDenied;
using platform::kInvalidHandle;
using platform::kInvalidParameter;
using platform::kSuccess;

constexpr Status kInvalidName = 123;  // ERROR_INVALID_NAME

// What a user without administrative rights may ask of the manager and of a service: connect,
// enumerate, query the lock status and read control; query configuration and status, enumerate
// dependents, interrogate, user-defined controls and read control.
constexpr std::uint32_t kUserManagerAccess = 0x00020015;
constexpr std::uint32_t kUserServiceAccess = 0x0002018D;

constexpr std::uint32_t kAcceptStop = 0x1;  // SERVICE_ACCEPT_STOP
// The size of the 32-bit ENUM_SERVICE_STATUSW record: two name pointers and a SERVICE_STATUS.
constexpr std::uint32_t kEnumRecordBytes = 36;

bool Reached(std::uint32_t now, std::uint32_t tick) {
  return static_cast<std::int32_t>(now - tick) >= 0;
}

std::vector<SimService>::iterator FindService(std::vector<SimService>& services,
                                              std::u16string_view name) {
  return std::find_if(services.begin(), services.end(), [&](const SimService& service) {
    return SameName(Utf8ToUtf16(service.name), name);
  });
}

platform::ServiceStatus StatusOf(const SimService& service, std::uint32_t now) {
  platform::ServiceStatus status;
  status.serviceType = service.type;
  status.currentState = service.state;
  status.controlsAccepted = service.state == platform::kStateRunning ? kAcceptStop : 0;
  if (service.settlesAtTick) status.waitHint = *service.settlesAtTick - now;
  return status;
}

bool Listed(const SimService& service, std::uint32_t serviceType, std::uint32_t serviceState) {
  if ((service.type & serviceType) == 0) return false;
  const bool stopped = service.state == platform::kStateStopped;
  switch (serviceState) {
    case platform::kStateActive:
      return !stopped;
    case platform::kStateInactive:
      return stopped;
    default:
      return true;
  }
}

// The listed services in the manager's order: by name, without regard to case.
std::vector<const SimService*> Listing(const std::vector<SimService>& services,
                                       std::uint32_t serviceType, std::uint32_t serviceState) {
  std::vector<const SimService*> listed;
  for (const SimService& service : services) {
    if (Listed(service, serviceType, serviceState)) listed.push_back(&service);
  }
  std::sort(listed.begin(), listed.end(), [](const SimService* a, const SimService* b) {
    return FoldName(Utf8ToUtf16(a->name)) < FoldName(Utf8ToUtf16(b->name));
  });
  return listed;
}

}  // namespace

std::uint32_t EnumerationBytes(const std::string& name, const std::string& displayName) {
  const auto units = [](const std::string& text) {
    return static_cast<std::uint32_t>(Utf8ToUtf16(text).size() + 1);
  };
  return kEnumRecordBytes + 2 * (units(name) + units(displayName));
}

void SimServiceManager::Settle() noexcept {
  const std::uint32_t now = machine_.tickCount;
  auto& services = machine_.services.services;
  for (SimService& service : services) {
    if (!service.settlesAtTick || !Reached(now, *service.settlesAtTick)) continue;
    if (service.state == platform::kStateStartPending) service.state = platform::kStateRunning;
    if (service.state == platform::kStateStopPending) service.state = platform::kStateStopped;
    service.settlesAtTick.reset();
  }
  // A service handle holds its service's name exactly as the table does, so the names compare
  // without converting them.
  services.erase(
      std::remove_if(services.begin(), services.end(),
                     [&](const SimService& service) {
                       if (!service.markedForDeletion || service.state != platform::kStateStopped) {
                         return false;
                       }
                       return std::none_of(handles_.begin(), handles_.end(), [&](const auto& h) {
                         return !h.second.isManager && h.second.service == service.name;
                       });
                     }),
      services.end());
}

const SimServiceManager::Holder* SimServiceManager::Find(platform::ServiceHandle handle,
                                                         bool manager) const {
  auto found = handles_.find(handle);
  if (found == handles_.end() || found->second.isManager != manager) return nullptr;
  return &found->second;
}

SimService* SimServiceManager::ServiceOf(const Holder& holder) {
  auto& services = machine_.services.services;
  auto found = std::find_if(services.begin(), services.end(), [&](const SimService& service) {
    return service.name == holder.service;
  });
  return found == services.end() ? nullptr : &*found;
}

platform::ServiceHandle SimServiceManager::Add(Holder holder, bool created) {
  ServiceHandleOpened record{holder.database, holder.service, holder.access, created};
  if (opened_.size() == opened_.capacity()) {
    opened_.reserve(std::max<std::size_t>(8, 2 * opened_.size()));
  }
  const platform::ServiceHandle handle = next_;
  handles_.emplace(handle, std::move(holder));
  opened_.push_back(std::move(record));  // room was made above: nothing throws from here on
  next_ += 8;
  return handle;
}

Status SimServiceManager::OpenManager(std::u16string_view database, std::uint32_t access,
                                      platform::ServiceHandle& manager) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  try {
    if (!database.empty() && !SameName(database, platform::kServicesActiveDatabase)) {
      return platform::kDatabaseDoesNotExist;
    }
    if (!machine_.system.administrator && (access & ~kUserManagerAccess) != 0) {
      return kAccessDenied;
    }
    manager = Add(Holder{true, access, Utf16ToUtf8(database), std::string()}, false);
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimServiceManager::Open(platform::ServiceHandle manager, std::u16string_view name,
                               std::uint32_t access, platform::ServiceHandle& service) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(manager, true);
  if (opened == nullptr) return kInvalidHandle;
  if (name.empty()) return kInvalidName;
  Settle();
  try {
    auto& services = machine_.services.services;
    auto found = FindService(services, name);
    if (found == services.end()) return platform::kServiceDoesNotExist;
    if (!machine_.system.administrator && (access & ~kUserServiceAccess) != 0) {
      return kAccessDenied;
    }
    service = Add(Holder{false, access, opened->database, found->name}, false);
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimServiceManager::Start(platform::ServiceHandle service) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(service, false);
  if (opened == nullptr) return kInvalidHandle;
  if ((opened->access & platform::kServiceStart) == 0) return kAccessDenied;
  Settle();
  SimService* found = ServiceOf(*opened);
  if (found == nullptr) return kInvalidHandle;
  if (found->markedForDeletion) return platform::kServiceMarkedForDelete;
  if (found->startType == platform::kServiceDisabled) return platform::kServiceDisabledError;
  if (found->state != platform::kStateStopped) return platform::kServiceAlreadyRunning;
  if (found->startMs == 0) {
    found->state = platform::kStateRunning;
  } else {
    found->state = platform::kStateStartPending;
    found->settlesAtTick = machine_.tickCount + found->startMs;
  }
  return kSuccess;
}

// What the service manager does with a control in each state: a stopped service is not active;
// a pending one takes no control, but for a stop while it starts, which reaches it when it
// accepts stops (none of this model's services does before it runs); a running one takes the
// interrogation and the stop.
Status SimServiceManager::Control(platform::ServiceHandle service, std::uint32_t control,
                                  platform::ServiceStatus& status) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(service, false);
  if (opened == nullptr) return kInvalidHandle;
  std::uint32_t needed = 0;
  if (control == platform::kControlStop) {
    needed = platform::kServiceStop;
  } else if (control == platform::kControlInterrogate) {
    needed = platform::kServiceInterrogate;
  } else {
    return kInvalidParameter;  // no other control is modelled
  }
  if ((opened->access & needed) == 0) return kAccessDenied;
  Settle();
  SimService* found = ServiceOf(*opened);
  if (found == nullptr) return kInvalidHandle;
  SimService& target = *found;
  const platform::ServiceStatus reported = StatusOf(target, machine_.tickCount);
  status = reported;
  if (target.state == platform::kStateStopped) return platform::kServiceNotActive;
  const bool stopWhileStarting =
      control == platform::kControlStop && target.state == platform::kStateStartPending;
  if (target.state != platform::kStateRunning && !stopWhileStarting) {
    return platform::kServiceCannotAcceptCtrl;
  }
  if (control == platform::kControlInterrogate) return kSuccess;
  if ((reported.controlsAccepted & kAcceptStop) == 0) return platform::kInvalidServiceControl;
  if (target.stopMs == 0) {
    target.state = platform::kStateStopped;
  } else {
    target.state = platform::kStateStopPending;
    target.settlesAtTick = machine_.tickCount + target.stopMs;
  }
  status = StatusOf(target, machine_.tickCount);
  return kSuccess;
}

Status SimServiceManager::QueryServicesSize(platform::ServiceHandle manager,
                                            std::uint32_t serviceType, std::uint32_t serviceState,
                                            std::uint32_t& bytesNeeded) {
  std::vector<platform::ServiceEntry> none;
  return EnumerateServices(manager, serviceType, serviceState, 0, none, bytesNeeded);
}

Status SimServiceManager::EnumerateServices(platform::ServiceHandle manager,
                                            std::uint32_t serviceType, std::uint32_t serviceState,
                                            std::uint32_t bufferBytes,
                                            std::vector<platform::ServiceEntry>& entries,
                                            std::uint32_t& bytesNeeded) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(manager, true);
  if (opened == nullptr) return kInvalidHandle;
  if ((opened->access & platform::kScManagerEnumerateService) == 0) return kAccessDenied;
  if (serviceState < platform::kStateActive || serviceState > platform::kStateAll ||
      (serviceType & ~0x3Fu) != 0 || serviceType == 0) {
    return kInvalidParameter;
  }
  Settle();
  try {
    std::vector<platform::ServiceEntry> filled;
    std::uint32_t missing = 0;
    std::uint32_t used = 0;
    bool full = false;
    for (const SimService* service :
         Listing(machine_.services.services, serviceType, serviceState)) {
      const std::uint32_t bytes = EnumerationBytes(service->name, service->displayName);
      if (!full && used + bytes <= bufferBytes) {
        used += bytes;
        filled.push_back(platform::ServiceEntry{Utf8ToUtf16(service->name),
                                                Utf8ToUtf16(service->displayName),
                                                StatusOf(*service, machine_.tickCount)});
        continue;
      }
      full = true;  // the entries after the first that does not fit wait for the next call
      missing += bytes;
    }
    entries = std::move(filled);
    bytesNeeded = missing;
    return full ? platform::kMoreData : kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimServiceManager::Create(platform::ServiceHandle manager,
                                 const platform::ServiceRegistration& registration,
                                 platform::ServiceHandle& service) {
  static_assert(std::is_nothrow_move_constructible_v<SimService>);
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(manager, true);
  if (opened == nullptr) return kInvalidHandle;
  if ((opened->access & platform::kScManagerCreateService) == 0) return kAccessDenied;
  const std::u16string_view name = registration.serviceName;
  if (name.empty() || name.size() > 256 || name.find_first_of(u"/\\") != name.npos) {
    return kInvalidName;
  }
  if (registration.binaryPath.empty()) return kInvalidParameter;
  Settle();
  try {
    auto& services = machine_.services.services;
    auto existing = FindService(services, name);
    if (existing != services.end()) {
      return existing->markedForDeletion ? platform::kServiceMarkedForDelete
                                         : platform::kServiceExists;
    }
    const std::u16string_view display =
        registration.displayName.empty() ? name : registration.displayName;
    for (const SimService& other : services) {
      if (SameName(Utf8ToUtf16(other.displayName), display) ||
          SameName(Utf8ToUtf16(other.name), display)) {
        return platform::kDuplicateServiceName;
      }
    }
    SimService created;
    created.name = Utf16ToUtf8(name);
    created.displayName = Utf16ToUtf8(display);
    created.type = registration.serviceType;
    created.startType = registration.startType;
    created.errorControl = registration.errorControl;
    created.binaryPath = Utf16ToUtf8(registration.binaryPath);
    // The table makes room and the handle is handed out before the service joins the table, so
    // a failing allocation leaves neither behind.
    services.reserve(services.size() + 1);
    const platform::ServiceHandle handle =
        Add(Holder{false, registration.desiredAccess, opened->database, created.name}, true);
    services.push_back(std::move(created));
    service = handle;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimServiceManager::Delete(platform::ServiceHandle service) {
  if (Status fault = machine_.accounting.Enter(Service::ServiceManager)) return fault;
  const Holder* opened = Find(service, false);
  if (opened == nullptr) return kInvalidHandle;
  if ((opened->access & platform::kDelete) == 0) return kAccessDenied;
  Settle();
  SimService* found = ServiceOf(*opened);
  if (found == nullptr) return kInvalidHandle;
  if (found->markedForDeletion) return platform::kServiceMarkedForDelete;
  found->markedForDeletion = true;
  return kSuccess;
}

Status SimServiceManager::CloseHandle(platform::ServiceHandle handle) {
  const Status fault = machine_.accounting.Enter(Service::ServiceManager);
  // A failed close still releases the handle, as CloseServiceHandle does for a valid one.
  const bool known = handles_.erase(handle) != 0;
  Settle();
  if (fault != kSuccess) return fault;
  return known ? kSuccess : kInvalidHandle;
}

}  // namespace nebrin::sim
