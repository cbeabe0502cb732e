#include "apply_progress.h"

#include <memory>

#include "host_text.h"
#include "platform/forwarding_platform.h"
#include "platform_override.h"

namespace nebrin::host {
namespace {

using namespace nebrin::platform;
using Say = std::function<void(ApplyWait, const std::string&)>;

// The service list is only read while the library polls for WZCSVC to run: the first look at it
// begins that wait.
class WatchingServices final : public ServiceManager {
 public:
  WatchingServices(ServiceManager& inner, const Say& say) : inner_(inner), say_(say) {}
  Status OpenManager(std::u16string_view database, std::uint32_t access,
                     ServiceHandle& manager) override {
    return inner_.OpenManager(database, access, manager);
  }
  Status Open(ServiceHandle manager, std::u16string_view name, std::uint32_t access,
              ServiceHandle& service) override {
    return inner_.Open(manager, name, access, service);
  }
  Status Start(ServiceHandle service) override { return inner_.Start(service); }
  Status Control(ServiceHandle service, std::uint32_t control, ServiceStatus& status) override {
    return inner_.Control(service, control, status);
  }
  Status QueryServicesSize(ServiceHandle manager, std::uint32_t type, std::uint32_t state,
                           std::uint32_t& bytes) override {
    if (!polling_) {
      polling_ = true;
      say_(ApplyWait::WirelessService, std::string());
    }
    return inner_.QueryServicesSize(manager, type, state, bytes);
  }
  Status EnumerateServices(ServiceHandle manager, std::uint32_t type, std::uint32_t state,
                           std::uint32_t bufferBytes, std::vector<ServiceEntry>& entries,
                           std::uint32_t& bytes) override {
    return inner_.EnumerateServices(manager, type, state, bufferBytes, entries, bytes);
  }
  Status Create(ServiceHandle manager, const ServiceRegistration& registration,
                ServiceHandle& service) override {
    return inner_.Create(manager, registration, service);
  }
  Status Delete(ServiceHandle service) override { return inner_.Delete(service); }
  Status CloseHandle(ServiceHandle handle) override { return inner_.CloseHandle(handle); }

 private:
  ServiceManager& inner_;
  const Say& say_;
  bool polling_ = false;
};

bool EndsWith(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class WatchingProcesses final : public Processes {
 public:
  WatchingProcesses(Processes& inner, const Say& say) : inner_(inner), say_(say) {}
  Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override {
    return inner_.EnumerateProcesses(ids);
  }
  Status OpenProcess(std::uint32_t access, std::uint32_t id, ProcessHandle& process) override {
    return inner_.OpenProcess(access, id, process);
  }
  Status FirstModule(ProcessHandle process, ModuleHandle& module) override {
    return inner_.FirstModule(process, module);
  }
  Status ModuleBaseName(ProcessHandle process, ModuleHandle module, std::uint32_t capacity,
                        std::u16string& name) override {
    return inner_.ModuleBaseName(process, module, capacity, name);
  }
  Status SystemDirectory(std::u16string& path) override { return inner_.SystemDirectory(path); }
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, ProcessHandle& process,
                      ProcessHandle& thread) override {
    if (EndsWith(application, u"\\netsh.exe")) {
      say_(ApplyWait::NetworkShell, ToUtf8(commandLine));
    } else if (EndsWith(application, u"\\Tamsel.exe")) {
      say_(ApplyWait::AdHocTool, ToUtf8(commandLine));
    }
    return inner_.StartProcess(application, commandLine, showCommand, process, thread);
  }
  std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) override {
    return inner_.Wait(process, milliseconds);
  }
  Status CloseHandle(ProcessHandle handle) override { return inner_.CloseHandle(handle); }

 private:
  Processes& inner_;
  const Say& say_;
};

class WatchingPlatform final : public ForwardingPlatform {
 public:
  WatchingPlatform(std::shared_ptr<Platform> inner, const Say& say)
      : ForwardingPlatform(*inner),
        inner_(std::move(inner)),
        services_(inner_->serviceManager(), say),
        processes_(inner_->processes(), say) {}
  ServiceManager& serviceManager() override { return services_; }
  Processes& processes() override { return processes_; }

 private:
  std::shared_ptr<Platform> inner_;
  WatchingServices services_;
  WatchingProcesses processes_;
};

}  // namespace

int WatchApplyWaits(const std::function<int()>& run, const Say& say) {
  return RunOnWrappedPlatform<WatchingPlatform>(run, say);
}

bool CanWatchApplyWaits() { return true; }

}  // namespace nebrin::host
