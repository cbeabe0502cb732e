// A platform that writes down, in order, the steps a profile application takes on the simulated
// machine, and passes every call on to it:
//   "StartWZCService"  the wireless configuration service opened by name (only StartWZCService
//                      does that while a profile is applied)
//   "CheckWZCStatus"   the service list asked for (a run of polls is written once)
//   "sharing off"      sharing switched off on the connections (a pass is written once)
//   "share public", "share private"   sharing switched on for a connection
//   "netsh"            the network shell started
//   "Tamsel /1", "Tamsel /2"          the ad hoc tool started, with its mode
// A step is written when it is asked for, whether the machine then grants it or not.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forwarding_platform.h"
#include "platform/forwarding_services.h"
#include "platform/sim/machine.h"

namespace nebrin::testing {

class StepLog {
 public:
  void Write(const std::string& step) {
    const bool repeats = step == "CheckWZCStatus" || step == "sharing off";
    if (repeats && !steps.empty() && steps.back() == step) return;
    steps.push_back(step);
  }
  std::vector<std::string> steps;
};

class StepServices final : public platform::ForwardingServiceManager {
 public:
  StepServices(platform::ServiceManager& inner, StepLog& log)
      : ForwardingServiceManager(inner), log_(log) {}
  platform::Status Open(platform::ServiceHandle manager, std::u16string_view name,
                        std::uint32_t access, platform::ServiceHandle& service) override {
    if (name == u"WZCSVC") log_.Write("StartWZCService");
    return ForwardingServiceManager::Open(manager, name, access, service);
  }
  platform::Status QueryServicesSize(platform::ServiceHandle manager, std::uint32_t type,
                                     std::uint32_t state, std::uint32_t& bytes) override {
    log_.Write("CheckWZCStatus");
    return ForwardingServiceManager::QueryServicesSize(manager, type, state, bytes);
  }

 private:
  StepLog& log_;
};

class StepConnections final : public platform::ForwardingConnections {
 public:
  StepConnections(platform::NetworkConnections& inner, StepLog& log)
      : ForwardingConnections(inner), log_(log) {}
  platform::HResult DisableSharing(platform::ComRef s) override {
    log_.Write("sharing off");
    return ForwardingConnections::DisableSharing(s);
  }
  platform::HResult EnableSharing(platform::ComRef s, platform::SharingType t) override {
    log_.Write(t == platform::SharingType::Public ? "share public" : "share private");
    return ForwardingConnections::EnableSharing(s, t);
  }

 private:
  StepLog& log_;
};

class StepProcesses final : public platform::ForwardingProcesses {
 public:
  StepProcesses(platform::Processes& inner, StepLog& log) : ForwardingProcesses(inner), log_(log) {}
  platform::Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                                std::uint32_t show, platform::ProcessHandle& process,
                                platform::ProcessHandle& thread) override {
    if (application.ends_with(u"\\netsh.exe")) {
      log_.Write("netsh");
    } else if (application.ends_with(u"\\Tamsel.exe")) {
      log_.Write(commandLine.ends_with(u" /1") ? "Tamsel /1" : "Tamsel /2");
    } else {
      log_.Write("another program");
    }
    return ForwardingProcesses::StartProcess(application, commandLine, show, process, thread);
  }

 private:
  StepLog& log_;
};

// The machine with the steps of an application written down.
class StepPlatform final : public platform::ForwardingPlatform {
 public:
  explicit StepPlatform(std::shared_ptr<sim::Machine> machine)
      : ForwardingPlatform(*machine),
        machine_(std::move(machine)),
        services_(machine_->serviceManager(), log_),
        connections_(machine_->connections(), log_),
        processes_(machine_->processes(), log_) {}

  platform::ServiceManager& serviceManager() override { return services_; }
  platform::NetworkConnections& connections() override { return connections_; }
  platform::Processes& processes() override { return processes_; }

  const std::vector<std::string>& steps() const { return log_.steps; }
  void Clear() { log_.steps.clear(); }

 private:
  std::shared_ptr<sim::Machine> machine_;
  StepLog log_;
  StepServices services_;
  StepConnections connections_;
  StepProcesses processes_;
};

}  // namespace nebrin::testing
