#include "call_watch.h"

#include <memory>

#include "platform/forwarding_platform.h"
#include "platform/forwarding_services.h"
#include "platform_override.h"

namespace nebrin::host {
namespace {

using namespace nebrin::platform;

class WatchingSpooler final : public Spooler {
 public:
  WatchingSpooler(Spooler& inner, WatchedCalls& seen) : inner_(inner), seen_(seen) {}
  Status EnumeratePrinters(std::uint32_t flags, std::vector<std::u16string>& names) override {
    return *(seen_.enumeratePrinters = inner_.EnumeratePrinters(flags, names));
  }
  Status GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) override {
    return *(seen_.defaultPrinter = inner_.GetDefaultPrinter(capacity, name));
  }
  Status SetDefaultPrinter(std::u16string_view name) override {
    return inner_.SetDefaultPrinter(name);
  }

 private:
  Spooler& inner_;
  WatchedCalls& seen_;
};

class WatchingProcesses final : public ForwardingProcesses {
 public:
  WatchingProcesses(Processes& inner, WatchedCalls& seen)
      : ForwardingProcesses(inner), seen_(seen) {}
  Status SystemDirectory(std::u16string& path) override {
    return *(seen_.systemDirectory = ForwardingProcesses::SystemDirectory(path));
  }
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, ProcessHandle& process,
                      ProcessHandle& thread) override {
    return *(seen_.startProcess = ForwardingProcesses::StartProcess(application, commandLine,
                                                                    showCommand, process, thread));
  }

 private:
  WatchedCalls& seen_;
};

class WatchingPlatform final : public ForwardingPlatform {
 public:
  WatchingPlatform(std::shared_ptr<Platform> inner, WatchedCalls& seen)
      : ForwardingPlatform(*inner),
        inner_(std::move(inner)),
        spooler_(inner_->spooler(), seen),
        processes_(inner_->processes(), seen) {}
  Spooler& spooler() override { return spooler_; }
  Processes& processes() override { return processes_; }

 private:
  std::shared_ptr<Platform> inner_;
  WatchingSpooler spooler_;
  WatchingProcesses processes_;
};

}  // namespace

int WatchCalls(const std::function<int()>& run, WatchedCalls& seen) {
  seen.watched = true;
  return RunOnWrappedPlatform<WatchingPlatform>(run, seen);
}

}  // namespace nebrin::host
