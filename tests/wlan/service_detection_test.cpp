// Whether the wireless configuration service runs or is stopped, and whether the product's
// service is registered, as the service manager lists them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using platform::Status;
using sim::Machine;

class ServiceDetectionTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
};

TEST_F(ServiceDetectionTest, WirelessServiceFoundOnlyInTheAskedState) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> state;
    int running;  // CheckWZCStatus(1), and with any other non-zero flag
    int stopped;  // CheckWZCStatus(0)
  };
  const std::vector<Case> cases = {
      {"running", kRunning, 1, 0},
      {"stopped", kStopped, 0, 1},
      {"start pending", kStartPending, 0, 0},
      {"stop pending", kStopPending, 0, 0},
      {"not installed", std::nullopt, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    SetService(machine(), "WZCSVC", c.state);
    CWLanControl wlan;
    EXPECT_EQ(wlan.CheckWZCStatus(1), c.running);
    EXPECT_EQ(wlan.CheckWZCStatus(-7), c.running);
    EXPECT_EQ(wlan.CheckWZCStatus(0), c.stopped);
  }
}

TEST_F(ServiceDetectionTest, NamesCompareExactly) {
  FindService(machine(), "WZCSVC")->name = "Wzcsvc";
  EXPECT_EQ(CWLanControl().CheckWZCStatus(1), 0);
}

TEST_F(ServiceDetectionTest, ProductServiceFoundInAnyState) {
  for (std::uint32_t state : {kStopped, kStartPending, kRunning, kStopPending}) {
    SCOPED_TRACE(state);
    Use(Machine::Demo());
    EXPECT_EQ(CWLanControl().CheckNebrinWLANStatus(), 0);
    machine().service_table().services.push_back(ProductService("C:\\svc.exe", state));
    EXPECT_EQ(CWLanControl().CheckNebrinWLANStatus(), 1);
  }
}

TEST_F(ServiceDetectionTest, WithoutAdministrativeRightsNothingIsFound) {
  machine().service_table().services.push_back(ProductService("C:\\svc.exe", kRunning));
  machine().system_state().administrator = false;
  CWLanControl wlan;
  EXPECT_EQ(wlan.CheckWZCStatus(1), 0);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 0);
}

// A service manager that registers `perQuery` more services (named to sort before every other)
// each time the size of the list is asked, as services installed between the size query and the
// fill would.
class GrowingServices final : public platform::ServiceManager {
 public:
  GrowingServices(Machine& machine, int perQuery, int queries)
      : machine_(machine), perQuery_(perQuery), queries_(queries) {}

  Status OpenManager(std::u16string_view database, std::uint32_t access,
                     platform::ServiceHandle& manager) override {
    return inner().OpenManager(database, access, manager);
  }
  Status Open(platform::ServiceHandle manager, std::u16string_view name, std::uint32_t access,
              platform::ServiceHandle& service) override {
    return inner().Open(manager, name, access, service);
  }
  Status Start(platform::ServiceHandle service) override { return inner().Start(service); }
  Status Control(platform::ServiceHandle service, std::uint32_t control,
                 platform::ServiceStatus& status) override {
    return inner().Control(service, control, status);
  }
  Status QueryServicesSize(platform::ServiceHandle manager, std::uint32_t type, std::uint32_t state,
                           std::uint32_t& bytesNeeded) override {
    const Status result = inner().QueryServicesSize(manager, type, state, bytesNeeded);
    Grow();
    return result;
  }
  Status EnumerateServices(platform::ServiceHandle manager, std::uint32_t type, std::uint32_t state,
                           std::uint32_t bufferBytes, std::vector<platform::ServiceEntry>& entries,
                           std::uint32_t& bytesNeeded) override {
    const Status result =
        inner().EnumerateServices(manager, type, state, bufferBytes, entries, bytesNeeded);
    Grow();
    return result;
  }
  Status Create(platform::ServiceHandle manager, const platform::ServiceRegistration& registration,
                platform::ServiceHandle& service) override {
    return inner().Create(manager, registration, service);
  }
  Status Delete(platform::ServiceHandle service) override { return inner().Delete(service); }
  Status CloseHandle(platform::ServiceHandle handle) override {
    return inner().CloseHandle(handle);
  }

 private:
  platform::ServiceManager& inner() { return machine_.serviceManager(); }
  void Grow() {
    if (queries_ == 0) return;
    --queries_;
    for (int i = 0; i < perQuery_; ++i) {
      sim::SimService added;
      added.name = "Added" + std::to_string(added_++);
      added.state = kRunning;
      machine_.service_table().services.push_back(added);
    }
  }

  Machine& machine_;
  int perQuery_;
  int queries_;  // how many more queries grow the list
  int added_ = 0;
};

class GrowingPlatform final : public platform::ForwardingPlatform {
 public:
  GrowingPlatform(std::shared_ptr<Machine> machine, int perQuery, int queries)
      : ForwardingPlatform(*machine),
        machine_(std::move(machine)),
        services_(*machine_, perQuery, queries) {}
  platform::ServiceManager& serviceManager() override { return services_; }

 private:
  std::shared_ptr<Machine> machine_;
  GrowingServices services_;
};

TEST_F(ServiceDetectionTest, ServicesAddedWhileListingAreMadeRoomFor) {
  struct Case {
    const char* name;
    int perQuery;
    int queries;
    int found;
  };
  const std::vector<Case> cases = {
      {"added after the size query", 3, 1, 1},
      {"added again after the first fill", 3, 2, 1},
      {"added after every call", 5, 1000, 0},
  };
  const std::vector<std::pair<const char*, int (*)()>> members = {
      {"CheckNebrinWLANStatus", [] { return CWLanControl().CheckNebrinWLANStatus(); }},
      {"CheckWZCStatus", [] { return CWLanControl().CheckWZCStatus(1); }},
  };
  for (const Case& c : cases) {
    for (const auto& [member, run] : members) {
      SCOPED_TRACE(std::string(c.name) + ", " + member);
      auto machine = Machine::Demo();
      machine->service_table().services.push_back(ProductService("C:\\svc.exe"));
      InstallPlatform(std::make_shared<GrowingPlatform>(machine, c.perQuery, c.queries));
      EXPECT_EQ(run(), c.found);
      EXPECT_EQ(machine->OpenHandles(), 0u);
    }
  }
  Use(Machine::Demo());
}

}  // namespace
}  // namespace nebrin::testing
