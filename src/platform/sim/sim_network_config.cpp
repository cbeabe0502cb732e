#include "platform/sim/sim_network_config.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <vector>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::HResult;
using platform::kSFalse;
using platform::kSOk;

// The companion driver's component registers the driver's service when it is applied.
constexpr std::string_view kDriverComponent = "K_ORLPD";

// One configuration object: initialised or not, holding the machine's write lock or not, and the
// components installed through it and not yet applied. Its interfaces share it; when the last of
// them is released it releases the write lock it still holds.
struct Session {
  explicit Session(std::shared_ptr<SimNetworkConfig::WriteLock> l) : lock(std::move(l)) {}
  ~Session() {
    if (holdsLock) lock->holder.reset();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  std::shared_ptr<SimNetworkConfig::WriteLock> lock;
  bool initialized = false;
  bool holdsLock = false;
  std::vector<std::string> pending;
};

class ConfigObject final : public SimComObject {
 public:
  explicit ConfigObject(std::shared_ptr<Session> s) : session(std::move(s)) {}
  std::shared_ptr<Session> session;
};
class LockObject final : public SimComObject {
 public:
  explicit LockObject(std::shared_ptr<Session> s) : session(std::move(s)) {}
  std::shared_ptr<Session> session;
};
class ClassSetupObject final : public SimComObject {
 public:
  explicit ClassSetupObject(std::shared_ptr<Session> s) : session(std::move(s)) {}
  std::shared_ptr<Session> session;
};
class ComponentObject final : public SimComObject {
 public:
  explicit ComponentObject(std::string i) : id(std::move(i)) {}
  std::string id;
};

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  });
  return text;
}

// One call of the configuration objects on the object behind `ref`: the call counted (and failed
// when a fault plan says so), then the object looked up, E_POINTER when the machine did not hand
// it out.
template <typename Object>
HResult Reach(Machine::State& machine, platform::ComRef ref, const Object*& object) {
  if (Status fault = machine.accounting.Enter(Service::NetworkConfig)) {
    return platform::HResultFromWin32(fault);
  }
  object = machine.com.objects.Find<Object>(ref);
  return object == nullptr ? platform::kEPointer : kSOk;
}

bool SameText(std::string_view a, std::string_view b) {
  return SameName(Utf8ToUtf16(a), Utf8ToUtf16(b));
}

}  // namespace

std::string SetupFileFolder(const std::string& system) {
  const std::size_t slash = system.find_last_of('\\');
  return (slash == std::string::npos ? std::string("C:\\WINDOWS") : system.substr(0, slash)) +
         "\\inf";
}

HResult SimNetworkConfig::CreateNetCfg(platform::ComRef& netCfg) {
  if (Status fault = machine_.accounting.Enter(Service::NetworkConfig)) {
    return platform::HResultFromWin32(fault);
  }
  // COM must be initialised on the thread: by the caller, or a multithreaded apartment it is in.
  if (machine_.com.apartmentDepth == 0 && !machine_.com.threadInMultithreadedApartment) {
    return platform::kCoNotInitialized;
  }
  return Allocating([&] {
    netCfg =
        machine_.com.objects.Add(std::make_shared<ConfigObject>(std::make_shared<Session>(lock_)));
    return kSOk;
  });
}

HResult SimNetworkConfig::QueryLock(platform::ComRef netCfg, platform::ComRef& lock) {
  const ConfigObject* config = nullptr;
  if (const HResult refused = Reach(machine_, netCfg, config)) return refused;
  return Allocating([&] {
    lock = machine_.com.objects.Add(std::make_shared<LockObject>(config->session));
    return kSOk;
  });
}

HResult SimNetworkConfig::AcquireWriteLock(platform::ComRef lock, std::uint32_t timeoutMs,
                                           std::u16string_view description,
                                           std::u16string& holder) {
  const LockObject* object = nullptr;
  if (const HResult refused = Reach(machine_, lock, object)) return refused;
  if (!machine_.system.administrator) return platform::kEAccessDenied;
  Session& session = *object->session;
  if (session.holdsLock) return kSOk;
  return Allocating([&] {
    const std::string& other = !machine_.netcfg.writeLockHeldBy.empty()
                                   ? machine_.netcfg.writeLockHeldBy
                                   : lock_->holder.value_or(std::string());
    if (!other.empty() || lock_->holder) {
      // Another client keeps the lock for the whole wait, which passes on the virtual clock.
      std::u16string text = Utf8ToUtf16(other);
      machine_.tickCount += timeoutMs;
      holder = std::move(text);
      return kSFalse;
    }
    lock_->holder = Utf16ToUtf8(description);
    session.holdsLock = true;
    return kSOk;
  });
}

HResult SimNetworkConfig::ReleaseWriteLock(platform::ComRef lock) {
  const LockObject* object = nullptr;
  if (const HResult refused = Reach(machine_, lock, object)) return refused;
  if (!object->session->holdsLock) return kSFalse;  // nothing to release
  object->session->holdsLock = false;
  lock_->holder.reset();
  return kSOk;
}

HResult SimNetworkConfig::Initialize(platform::ComRef netCfg) {
  const ConfigObject* config = nullptr;
  if (const HResult refused = Reach(machine_, netCfg, config)) return refused;
  if (config->session->initialized) return platform::kNetCfgAlreadyInitialized;
  config->session->initialized = true;
  return kSOk;
}

HResult SimNetworkConfig::Uninitialize(platform::ComRef netCfg) {
  const ConfigObject* config = nullptr;
  if (const HResult refused = Reach(machine_, netCfg, config)) return refused;
  Session& session = *config->session;
  if (!session.initialized) return platform::kNetCfgNotInitialized;
  // Changes not applied are dropped.
  session.initialized = false;
  session.pending.clear();
  return kSOk;
}

HResult SimNetworkConfig::Apply(platform::ComRef netCfg) {
  const ConfigObject* config = nullptr;
  if (const HResult refused = Reach(machine_, netCfg, config)) return refused;
  Session& session = *config->session;
  if (!session.initialized) return platform::kNetCfgNotInitialized;
  if (!session.holdsLock) return platform::kNetCfgNoWriteLock;
  return Allocating([&] {
    std::vector<SimComponent> components = machine_.netcfg.components;
    std::vector<SimService> services = machine_.services.services;
    for (const std::string& id : session.pending) {
      components.push_back(SimComponent{id});
      const bool registered =
          std::any_of(services.begin(), services.end(),
                      [](const SimService& s) { return SameText(s.name, "ORLPD"); });
      if (SameText(id, kDriverComponent) && !registered) {
        SimService driver;
        driver.name = "ORLPD";
        driver.displayName = "ORLPD NDIS Protocol Driver";
        driver.type = platform::kServiceKernelDriver;
        driver.startType = platform::kServiceDemandStart;
        driver.binaryPath = "system32\\DRIVERS\\ORLPD.sys";
        services.push_back(std::move(driver));
      }
    }
    machine_.netcfg.components = std::move(components);
    machine_.services.services = std::move(services);
    session.pending.clear();
    return kSOk;
  });
}

HResult SimNetworkConfig::QueryProtocolClassSetup(platform::ComRef netCfg,
                                                  platform::ComRef& classSetup) {
  const ConfigObject* config = nullptr;
  if (const HResult refused = Reach(machine_, netCfg, config)) return refused;
  if (!config->session->initialized) return platform::kNetCfgNotInitialized;
  return Allocating([&] {
    classSetup = machine_.com.objects.Add(std::make_shared<ClassSetupObject>(config->session));
    return kSOk;
  });
}

HResult SimNetworkConfig::Install(platform::ComRef classSetup, std::u16string_view componentId,
                                  platform::ComRef& component) {
  const ClassSetupObject* object = nullptr;
  if (const HResult refused = Reach(machine_, classSetup, object)) return refused;
  Session& session = *object->session;
  if (!session.initialized) return platform::kNetCfgNotInitialized;
  if (!session.holdsLock) return platform::kNetCfgNoWriteLock;
  if (componentId.empty()) return platform::kEInvalidArg;
  return Allocating([&] {
    const std::string id = Utf16ToUtf8(componentId);
    // The system looks for the component in the setup files of its store.
    const std::string folder = SetupFileFolder(machine_.processes.systemDirectory);
    const auto& files = machine_.files.files;
    const bool described = std::any_of(
        machine_.netcfg.setupFiles.begin(), machine_.netcfg.setupFiles.end(),
        [&](const SimSetupFile& setup) {
          auto file = files.find(FindFileKey(files, folder + "\\" + setup.name));
          return file != files.end() && Upper(file->second).find(Upper(id)) != std::string::npos;
        });
    if (!described) return platform::kNoDriverSelected;
    const auto same = [&](const std::string& other) { return SameText(other, id); };
    const bool known =
        std::any_of(session.pending.begin(), session.pending.end(), same) ||
        std::any_of(machine_.netcfg.components.begin(), machine_.netcfg.components.end(),
                    [&](const SimComponent& c) { return same(c.id); });
    session.pending.reserve(session.pending.size() + 1);
    component = machine_.com.objects.Add(std::make_shared<ComponentObject>(id));
    if (!known) session.pending.push_back(id);
    return kSOk;
  });
}

Status SimNetworkConfig::CopySetupFile(std::u16string_view source, std::u16string& destination) {
  if (Status fault = machine_.accounting.Enter(Service::NetworkConfig)) return fault;
  if (!machine_.system.administrator) return platform::kAccessDenied;
  try {
    // The system takes the setup file's full path only ("X:\..." or "\\server\share\..."): a
    // name relative to the current directory, to the current drive's root ("\x.inf") or to a
    // drive's current directory ("C:x.inf") is not found, even when the file is there.
    const std::string given = Utf16ToUtf8(source);
    const auto slash = [&](std::size_t i) {
      return given.size() > i && (given[i] == '\\' || given[i] == '/');
    };
    const bool drive =
        given.size() >= 2 && std::isalpha(static_cast<unsigned char>(given[0])) && given[1] == ':';
    const bool full = (drive && slash(2)) || (slash(0) && slash(1));
    if (!full) return platform::kFileNotFound;
    auto& files = machine_.files.files;
    const std::string path = FindFileKey(files, given);
    const auto found = files.find(path);
    if (found == files.end()) return platform::kFileNotFound;
    const std::string folder = SetupFileFolder(machine_.processes.systemDirectory);
    auto& store = machine_.netcfg.setupFiles;
    // A setup file the store holds already is not copied again: its copy's name is the answer.
    for (const SimSetupFile& setup : store) {
      const std::string copy = folder + "\\" + setup.name;
      auto existing = files.find(FindFileKey(files, copy));
      if (existing != files.end() && existing->second == found->second) {
        destination = Utf8ToUtf16(copy);
        return platform::kSuccess;
      }
    }
    std::string name;
    for (std::size_t n = 0;; ++n) {
      name = "oem" + std::to_string(n) + ".inf";
      const bool taken =
          std::any_of(store.begin(), store.end(),
                      [&](const SimSetupFile& s) { return SameText(s.name, name); }) ||
          files.count(FindFileKey(files, folder + "\\" + name)) != 0;
      if (!taken) break;
    }
    const std::string copy = folder + "\\" + name;
    std::u16string answer = Utf8ToUtf16(copy);
    store.reserve(store.size() + 1);
    SimSetupFile entry{name, path};
    files.emplace(copy, found->second);
    store.push_back(std::move(entry));
    destination = std::move(answer);
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

}  // namespace nebrin::sim
