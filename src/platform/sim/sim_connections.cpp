// The sharing manager over the machine's connections, modelled on the system's sharing service:
// at most one public and one private connection; switching sharing on for a private connection
// gives its adapter the static address 192.168.0.1/24 (switching it off leaves the address); a
// firewall flag per connection, switched on when the connection is shared publicly. Sharing and
// firewall changes need administrative rights; switching sharing or a firewall on needs the
// sharing service, which a change starts when it is stopped and cannot when it is disabled.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/key_tree.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::ComRef;
using platform::Failed;
using platform::HResult;
using platform::kNoComRef;

constexpr HResult kNotInitialized = static_cast<HResult>(0x800401F0u);  // CO_E_NOTINITIALIZED
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);    // E_ACCESSDENIED
constexpr std::uint32_t kErrorNotFound = 1168;                          // ERROR_NOT_FOUND
constexpr std::uint32_t kServiceDisabled = 1058;                        // ERROR_SERVICE_DISABLED

// The address the sharing service gives the private connection's adapter.
constexpr char kPrivateAddress[] = "192.168.0.1";
constexpr char kPrivateMask[] = "255.255.255.0";

struct ManagerObject final : SimComObject {};
struct CollectionObject final : SimComObject {};
struct EnumeratorObject final : SimComObject {
  std::size_t next = 0;  // position of the next element in the machine's connection list
};
// A connection, its properties or its sharing configuration: the connection's position in the
// machine's list and its GUID when the object was handed out. A connection removed since then
// answers ERROR_NOT_FOUND.
struct ConnectionBound : SimComObject {
  ConnectionBound(std::size_t p, std::string g) : position(p), guid(std::move(g)) {}
  std::size_t position;
  std::string guid;
};
struct ConnectionObject final : ConnectionBound {
  using ConnectionBound::ConnectionBound;
};
struct PropsObject final : ConnectionBound {
  using ConnectionBound::ConnectionBound;
};
struct ConfigurationObject final : ConnectionBound {
  using ConnectionBound::ConnectionBound;
};

// One call of the service: counted, failed when a fault plan names it, and an object of the
// expected type behind each reference it is given (a reference not held is a misuse, answered
// E_POINTER, where Windows would crash).
class Call {
 public:
  explicit Call(Machine::State& machine) : machine_(machine) {
    const Status fault = machine.accounting.Enter(Service::Connections);
    if (fault != platform::kSuccess) outcome_ = platform::HResultFromWin32(fault);
  }
  bool failed() const { return platform::Failed(outcome_); }
  HResult outcome() const { return outcome_; }

  template <typename T>
  T* Object(ComRef ref) {
    T* object = machine_.com.objects.Find<T>(ref);
    if (object == nullptr && !failed()) {
      ++machine_.com.misuses;
      outcome_ = platform::kEPointer;
    }
    return object;
  }
  // The live connection behind a bound object, or null (and the call fails) when it is gone.
  SimConnection* Live(const ConnectionBound* bound) {
    if (bound == nullptr || failed()) return nullptr;
    auto& list = machine_.connections;
    if (bound->position < list.size() && list[bound->position].guid == bound->guid) {
      return &list[bound->position];
    }
    outcome_ = platform::HResultFromWin32(kErrorNotFound);
    return nullptr;
  }
  template <typename T, typename... Args>
  ComRef HandOut(Args&&... args) {
    return machine_.com.objects.Add(std::make_shared<T>(std::forward<Args>(args)...));
  }

 private:
  Machine::State& machine_;
  HResult outcome_ = platform::kSOk;
};

// The sharing service gives the private connection's adapter its fixed address: all the values,
// or, when one cannot be set, none (the key's values are put back).
void GivePrivateAddress(Machine::State& machine, const std::string& guid) {
  Key* key = FindPath(*machine.localMachine, Utf8ToUtf16(TcpipInterfaceKey(guid)));
  if (key == nullptr) return;
  std::vector<NamedValue> before = key->values;
  try {
    key->PutValue(u"EnableDHCP", RegValue::Dword(0));
    key->PutValue(u"IPAddress", RegValue::MultiString({kPrivateAddress}));
    key->PutValue(u"SubnetMask", RegValue::MultiString({kPrivateMask}));
    key->PutValue(u"DefaultGateway", RegValue::MultiString({}));
    key->PutValue(u"DefaultGatewayMetric", RegValue::MultiString({}));
  } catch (...) {
    key->values.swap(before);
    throw;
  }
}

// A limited user may look at the sharing configuration but not change it.
HResult MayChange(const Machine::State& machine) {
  return machine.system.administrator ? platform::kSOk : kAccessDenied;
}

// Switching sharing or a firewall on is carried out by the sharing service: a disabled one
// cannot be started, so the change is refused.
HResult MaySwitchOn(const Machine::State& machine) {
  if (Failed(MayChange(machine))) return kAccessDenied;
  return machine.sharingService == SharingServiceState::Disabled
             ? platform::HResultFromWin32(kServiceDisabled)
             : platform::kSOk;
}

// The change that needs the sharing service starts it when it is stopped.
void StartSharingService(Machine::State& machine) {
  machine.sharingService = SharingServiceState::Running;
}

}  // namespace

HResult SimNetworkConnections::CreateSharingManager(ComRef& manager) {
  Call call(machine_);
  if (call.failed()) return call.outcome();
  // COM must be initialised on the thread (by this caller, or by the host for its apartment).
  if (machine_.com.apartmentDepth == 0 && !machine_.com.threadInMultithreadedApartment) {
    return kNotInitialized;
  }
  return Allocating([&] {
    manager = call.HandOut<ManagerObject>();
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::EnumEveryConnection(ComRef manager, ComRef& collection) {
  Call call(machine_);
  call.Object<ManagerObject>(manager);
  if (call.failed()) return call.outcome();
  return Allocating([&] {
    collection = call.HandOut<CollectionObject>();
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::NewEnum(ComRef collection, ComRef& enumerator) {
  Call call(machine_);
  call.Object<CollectionObject>(collection);
  if (call.failed()) return call.outcome();
  return Allocating([&] {
    enumerator = call.HandOut<EnumeratorObject>();
    return platform::kSOk;
  });
}

// The enumeration moves on only once the element is handed out.
HResult SimNetworkConnections::Next(ComRef enumerator, ComRef& connection) {
  connection = kNoComRef;
  Call call(machine_);
  EnumeratorObject* walk = call.Object<EnumeratorObject>(enumerator);
  if (call.failed()) return call.outcome();
  if (walk->next >= machine_.connections.size()) return platform::kSFalse;
  return Allocating([&] {
    const std::size_t position = walk->next;
    const ComRef element =
        call.HandOut<ConnectionObject>(position, machine_.connections[position].guid);
    walk->next = position + 1;
    connection = element;
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::Reset(ComRef enumerator) {
  Call call(machine_);
  EnumeratorObject* walk = call.Object<EnumeratorObject>(enumerator);
  if (call.failed()) return call.outcome();
  walk->next = 0;
  return platform::kSOk;
}

HResult SimNetworkConnections::ConnectionProps(ComRef manager, ComRef connection, ComRef& props) {
  Call call(machine_);
  call.Object<ManagerObject>(manager);
  const auto* bound = call.Object<ConnectionObject>(connection);
  if (call.Live(bound) == nullptr) return call.outcome();
  return Allocating([&] {
    props = call.HandOut<PropsObject>(bound->position, bound->guid);
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::Guid(ComRef props, std::u16string& guid) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<PropsObject>(props));
  if (live == nullptr) return call.outcome();
  return Allocating([&] {
    guid = Utf8ToUtf16(live->guid);
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::Name(ComRef props, std::u16string& name) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<PropsObject>(props));
  if (live == nullptr) return call.outcome();
  return Allocating([&] {
    name = Utf8ToUtf16(live->name);
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::Status(ComRef props, std::uint32_t& status) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<PropsObject>(props));
  if (live == nullptr) return call.outcome();
  status = live->status;
  return platform::kSOk;
}

HResult SimNetworkConnections::SharingConfiguration(ComRef manager, ComRef connection,
                                                    ComRef& configuration) {
  Call call(machine_);
  call.Object<ManagerObject>(manager);
  const auto* bound = call.Object<ConnectionObject>(connection);
  if (call.Live(bound) == nullptr) return call.outcome();
  return Allocating([&] {
    configuration = call.HandOut<ConfigurationObject>(bound->position, bound->guid);
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::SharingEnabled(ComRef configuration, bool& enabled) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  enabled = live->sharing != SharingRole::None;
  return platform::kSOk;
}

HResult SimNetworkConnections::SharingConnectionType(ComRef configuration,
                                                     platform::SharingType& type) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  type = live->sharing == SharingRole::Private ? platform::SharingType::Private
                                               : platform::SharingType::Public;
  return platform::kSOk;
}

HResult SimNetworkConnections::DisableSharing(ComRef configuration) {
  Call call(machine_);
  SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  if (const HResult refused = MayChange(machine_); Failed(refused)) return refused;
  live->sharing = SharingRole::None;
  return platform::kSOk;
}

// A machine shares one public and one private connection: the role moves from the connection
// that had it. Sharing a connection publicly switches its firewall on; sharing it privately
// leaves the firewall as it is.
HResult SimNetworkConnections::EnableSharing(ComRef configuration, platform::SharingType type) {
  Call call(machine_);
  SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  if (const HResult refused = MaySwitchOn(machine_); Failed(refused)) return refused;
  const SharingRole role =
      type == platform::SharingType::Private ? SharingRole::Private : SharingRole::Public;
  return Allocating([&] {
    // The address first: it is the step that allocates, and it changes nothing when it fails.
    if (role == SharingRole::Private) GivePrivateAddress(machine_, live->guid);
    for (SimConnection& other : machine_.connections) {
      if (other.sharing == role) other.sharing = SharingRole::None;
    }
    live->sharing = role;
    if (role == SharingRole::Public) live->firewall = true;
    StartSharingService(machine_);
    return platform::kSOk;
  });
}

HResult SimNetworkConnections::InternetFirewallEnabled(ComRef configuration, bool& enabled) {
  Call call(machine_);
  const SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  enabled = live->firewall;
  return platform::kSOk;
}

HResult SimNetworkConnections::EnableInternetFirewall(ComRef configuration) {
  Call call(machine_);
  SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  if (const HResult refused = MaySwitchOn(machine_); Failed(refused)) return refused;
  live->firewall = true;
  StartSharingService(machine_);
  return platform::kSOk;
}

HResult SimNetworkConnections::DisableInternetFirewall(ComRef configuration) {
  Call call(machine_);
  SimConnection* live = call.Live(call.Object<ConfigurationObject>(configuration));
  if (live == nullptr) return call.outcome();
  if (const HResult refused = MayChange(machine_); Failed(refused)) return refused;
  live->firewall = false;
  return platform::kSOk;
}

}  // namespace nebrin::sim
