#include "apply_progress.h"

#include <memory>

#include "host_text.h"
#include "platform/forwarding_platform.h"
#include "platform/forwarding_services.h"
#include "platform_override.h"

namespace nebrin::host {
namespace {

using namespace nebrin::platform;
using Say = std::function<void(ApplyWait, const std::string&)>;

// The service list is only read while the library polls for WZCSVC to run: the first look at it
// begins that wait.
class WatchingServices final : public ForwardingServiceManager {
 public:
  WatchingServices(ServiceManager& inner, const Say& say)
      : ForwardingServiceManager(inner), say_(say) {}
  Status QueryServicesSize(ServiceHandle manager, std::uint32_t type, std::uint32_t state,
                           std::uint32_t& bytes) override {
    if (!polling_) {
      polling_ = true;
      say_(ApplyWait::WirelessService, std::string());
    }
    return ForwardingServiceManager::QueryServicesSize(manager, type, state, bytes);
  }

 private:
  const Say& say_;
  bool polling_ = false;
};

class WatchingProcesses final : public ForwardingProcesses {
 public:
  WatchingProcesses(Processes& inner, const Say& say) : ForwardingProcesses(inner), say_(say) {}
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, ProcessHandle& process,
                      ProcessHandle& thread) override {
    if (application.ends_with(u"\\netsh.exe")) {
      say_(ApplyWait::NetworkShell, ToUtf8(commandLine));
    } else if (application.ends_with(u"\\Tamsel.exe")) {
      say_(ApplyWait::AdHocTool, ToUtf8(commandLine));
    }
    return ForwardingProcesses::StartProcess(application, commandLine, showCommand, process,
                                             thread);
  }

 private:
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
