// A platform that names the sharing manager's calls in the order they are made and passes each to
// the simulated machine. Each of them is one Connections call of the machine, so a test can find
// the number of the call that makes a given step and fail exactly that step with a fault plan.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/sim/machine.h"

namespace nebrin::testing {

class ConnectionCallLog final : public platform::NetworkConnections {
 public:
  explicit ConnectionCallLog(platform::NetworkConnections& inner) : inner_(inner) {}

  std::vector<std::string> calls;

  platform::HResult CreateSharingManager(platform::ComRef& manager) override {
    calls.push_back("CreateSharingManager");
    return inner_.CreateSharingManager(manager);
  }
  platform::HResult EnumEveryConnection(platform::ComRef m, platform::ComRef& c) override {
    calls.push_back("EnumEveryConnection");
    return inner_.EnumEveryConnection(m, c);
  }
  platform::HResult NewEnum(platform::ComRef c, platform::ComRef& e) override {
    calls.push_back("NewEnum");
    return inner_.NewEnum(c, e);
  }
  platform::HResult Next(platform::ComRef e, platform::ComRef& c) override {
    calls.push_back("Next");
    return inner_.Next(e, c);
  }
  platform::HResult Reset(platform::ComRef e) override {
    calls.push_back("Reset");
    return inner_.Reset(e);
  }
  platform::HResult ConnectionProps(platform::ComRef m, platform::ComRef c,
                                    platform::ComRef& p) override {
    calls.push_back("ConnectionProps");
    return inner_.ConnectionProps(m, c, p);
  }
  platform::HResult Guid(platform::ComRef p, std::u16string& g) override {
    calls.push_back("Guid");
    return inner_.Guid(p, g);
  }
  platform::HResult Name(platform::ComRef p, std::u16string& n) override {
    calls.push_back("Name");
    return inner_.Name(p, n);
  }
  platform::HResult Status(platform::ComRef p, std::uint32_t& s) override {
    calls.push_back("Status");
    return inner_.Status(p, s);
  }
  platform::HResult SharingConfiguration(platform::ComRef m, platform::ComRef c,
                                         platform::ComRef& s) override {
    calls.push_back("SharingConfiguration");
    return inner_.SharingConfiguration(m, c, s);
  }
  platform::HResult SharingEnabled(platform::ComRef s, bool& e) override {
    calls.push_back("SharingEnabled");
    return inner_.SharingEnabled(s, e);
  }
  platform::HResult SharingConnectionType(platform::ComRef s, platform::SharingType& t) override {
    calls.push_back("SharingConnectionType");
    return inner_.SharingConnectionType(s, t);
  }
  platform::HResult DisableSharing(platform::ComRef s) override {
    calls.push_back("DisableSharing");
    return inner_.DisableSharing(s);
  }
  platform::HResult EnableSharing(platform::ComRef s, platform::SharingType t) override {
    calls.push_back(t == platform::SharingType::Public ? "EnableSharing(Public)"
                                                       : "EnableSharing(Private)");
    return inner_.EnableSharing(s, t);
  }
  platform::HResult InternetFirewallEnabled(platform::ComRef s, bool& e) override {
    calls.push_back("InternetFirewallEnabled");
    return inner_.InternetFirewallEnabled(s, e);
  }
  platform::HResult EnableInternetFirewall(platform::ComRef s) override {
    calls.push_back("EnableInternetFirewall");
    return inner_.EnableInternetFirewall(s);
  }
  platform::HResult DisableInternetFirewall(platform::ComRef s) override {
    calls.push_back("DisableInternetFirewall");
    return inner_.DisableInternetFirewall(s);
  }

  // The 1-based number of the `occurrence`-th call named `name`, or 0 when there is none.
  std::uint64_t Number(const std::string& name, int occurrence = 1) const {
    for (std::size_t i = 0; i < calls.size(); ++i) {
      if (calls[i] == name && --occurrence == 0) return i + 1;
    }
    return 0;
  }
  int Count(const std::string& name) const {
    int count = 0;
    for (const auto& call : calls) count += call == name ? 1 : 0;
    return count;
  }

 private:
  platform::NetworkConnections& inner_;
};

// The machine with its sharing manager's calls logged.
class LoggingPlatform final : public platform::ForwardingPlatform {
 public:
  explicit LoggingPlatform(std::shared_ptr<sim::Machine> machine)
      : ForwardingPlatform(*machine), machine_(std::move(machine)), log_(machine_->connections()) {}
  platform::NetworkConnections& connections() override { return log_; }
  const ConnectionCallLog& log() const { return log_; }

 private:
  std::shared_ptr<sim::Machine> machine_;
  ConnectionCallLog log_;
};

// Runs `operation` once on a copy of `machine` with the sharing manager's calls logged, and
// returns the log; the platform installed before is installed again afterwards.
template <typename Operation>
ConnectionCallLog LogCalls(const sim::Machine& machine, Operation operation) {
  const auto installed = InstalledPlatform();
  auto logged = std::make_shared<LoggingPlatform>(sim::Machine::FromJsonText(machine.ToJsonText()));
  InstallPlatform(logged);
  operation();
  ConnectionCallLog log = logged->log();
  InstallPlatform(installed);
  return log;
}

}  // namespace nebrin::testing
