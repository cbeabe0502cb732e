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

class StepServices final : public platform::ServiceManager {
 public:
  StepServices(platform::ServiceManager& inner, StepLog& log) : inner_(inner), log_(log) {}
  platform::Status OpenManager(std::u16string_view database, std::uint32_t access,
                               platform::ServiceHandle& manager) override {
    return inner_.OpenManager(database, access, manager);
  }
  platform::Status Open(platform::ServiceHandle manager, std::u16string_view name,
                        std::uint32_t access, platform::ServiceHandle& service) override {
    if (name == u"WZCSVC") log_.Write("StartWZCService");
    return inner_.Open(manager, name, access, service);
  }
  platform::Status Start(platform::ServiceHandle service) override { return inner_.Start(service); }
  platform::Status Control(platform::ServiceHandle service, std::uint32_t control,
                           platform::ServiceStatus& status) override {
    return inner_.Control(service, control, status);
  }
  platform::Status QueryServicesSize(platform::ServiceHandle manager, std::uint32_t type,
                                     std::uint32_t state, std::uint32_t& bytes) override {
    log_.Write("CheckWZCStatus");
    return inner_.QueryServicesSize(manager, type, state, bytes);
  }
  platform::Status EnumerateServices(platform::ServiceHandle manager, std::uint32_t type,
                                     std::uint32_t state, std::uint32_t bufferBytes,
                                     std::vector<platform::ServiceEntry>& entries,
                                     std::uint32_t& bytes) override {
    return inner_.EnumerateServices(manager, type, state, bufferBytes, entries, bytes);
  }
  platform::Status Create(platform::ServiceHandle manager,
                          const platform::ServiceRegistration& registration,
                          platform::ServiceHandle& service) override {
    return inner_.Create(manager, registration, service);
  }
  platform::Status Delete(platform::ServiceHandle service) override {
    return inner_.Delete(service);
  }
  platform::Status CloseHandle(platform::ServiceHandle handle) override {
    return inner_.CloseHandle(handle);
  }

 private:
  platform::ServiceManager& inner_;
  StepLog& log_;
};

class StepConnections final : public platform::NetworkConnections {
 public:
  StepConnections(platform::NetworkConnections& inner, StepLog& log) : inner_(inner), log_(log) {}
  platform::HResult CreateSharingManager(platform::ComRef& manager) override {
    return inner_.CreateSharingManager(manager);
  }
  platform::HResult EnumEveryConnection(platform::ComRef m, platform::ComRef& c) override {
    return inner_.EnumEveryConnection(m, c);
  }
  platform::HResult NewEnum(platform::ComRef c, platform::ComRef& e) override {
    return inner_.NewEnum(c, e);
  }
  platform::HResult Next(platform::ComRef e, platform::ComRef& c) override {
    return inner_.Next(e, c);
  }
  platform::HResult Reset(platform::ComRef e) override { return inner_.Reset(e); }
  platform::HResult ConnectionProps(platform::ComRef m, platform::ComRef c,
                                    platform::ComRef& p) override {
    return inner_.ConnectionProps(m, c, p);
  }
  platform::HResult Guid(platform::ComRef p, std::u16string& g) override {
    return inner_.Guid(p, g);
  }
  platform::HResult Name(platform::ComRef p, std::u16string& n) override {
    return inner_.Name(p, n);
  }
  platform::HResult Status(platform::ComRef p, std::uint32_t& s) override {
    return inner_.Status(p, s);
  }
  platform::HResult SharingConfiguration(platform::ComRef m, platform::ComRef c,
                                         platform::ComRef& s) override {
    return inner_.SharingConfiguration(m, c, s);
  }
  platform::HResult SharingEnabled(platform::ComRef s, bool& e) override {
    return inner_.SharingEnabled(s, e);
  }
  platform::HResult SharingConnectionType(platform::ComRef s, platform::SharingType& t) override {
    return inner_.SharingConnectionType(s, t);
  }
  platform::HResult DisableSharing(platform::ComRef s) override {
    log_.Write("sharing off");
    return inner_.DisableSharing(s);
  }
  platform::HResult EnableSharing(platform::ComRef s, platform::SharingType t) override {
    log_.Write(t == platform::SharingType::Public ? "share public" : "share private");
    return inner_.EnableSharing(s, t);
  }
  platform::HResult InternetFirewallEnabled(platform::ComRef s, bool& e) override {
    return inner_.InternetFirewallEnabled(s, e);
  }
  platform::HResult EnableInternetFirewall(platform::ComRef s) override {
    return inner_.EnableInternetFirewall(s);
  }
  platform::HResult DisableInternetFirewall(platform::ComRef s) override {
    return inner_.DisableInternetFirewall(s);
  }

 private:
  platform::NetworkConnections& inner_;
  StepLog& log_;
};

class StepProcesses final : public platform::Processes {
 public:
  StepProcesses(platform::Processes& inner, StepLog& log) : inner_(inner), log_(log) {}
  platform::Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override {
    return inner_.EnumerateProcesses(ids);
  }
  platform::Status OpenProcess(std::uint32_t access, std::uint32_t id,
                               platform::ProcessHandle& process) override {
    return inner_.OpenProcess(access, id, process);
  }
  platform::Status FirstModule(platform::ProcessHandle process,
                               platform::ModuleHandle& module) override {
    return inner_.FirstModule(process, module);
  }
  platform::Status ModuleBaseName(platform::ProcessHandle process, platform::ModuleHandle module,
                                  std::uint32_t capacity, std::u16string& name) override {
    return inner_.ModuleBaseName(process, module, capacity, name);
  }
  platform::Status SystemDirectory(std::u16string& path) override {
    return inner_.SystemDirectory(path);
  }
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
    return inner_.StartProcess(application, commandLine, show, process, thread);
  }
  std::uint32_t Wait(platform::ProcessHandle process, std::uint32_t milliseconds) override {
    return inner_.Wait(process, milliseconds);
  }
  platform::Status CloseHandle(platform::ProcessHandle handle) override {
    return inner_.CloseHandle(handle);
  }

 private:
  platform::Processes& inner_;
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
