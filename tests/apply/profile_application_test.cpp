// Applying a profile on the demo machine: every pair of sharing roles (profile in force, target)
// with the steps it takes in order and its result, the failures that end a sequence early, the
// wait for the wireless configuration service, and the checks that keep an application from
// starting with nothing changed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "apply/application_steps.h"
#include "apply/apply_machines.h"
#include "frame/shared_objects.h"
#include "nebrin/platform_install.h"

namespace nebrin::testing {
namespace {

using Steps = std::vector<std::string>;

const Steps kHostSteps = {"StartWZCService", "CheckWZCStatus", "sharing off",
                          "share public",    "share private",  "Tamsel /1"};

constexpr std::uint32_t kStopped = 1;
constexpr std::uint32_t kStartPending = 2;
constexpr std::uint32_t kRunning = 4;
constexpr std::uint32_t kDisabled = 4;  // start type

sim::SimService& Wzcsvc(sim::Machine& m) {
  for (auto& service : m.service_table().services) {
    if (service.name == "WZCSVC") return service;
  }
  throw std::logic_error("the machine has no WZCSVC");
}

void RemoveProgram(sim::Machine& m, const std::string& file) {
  std::erase_if(m.process_state().programs,
                [&](const sim::SimProgram& p) { return p.path.ends_with(file); });
}

// A process of that image that runs until the test ends.
void Running(sim::Machine& m, const std::string& image) {
  auto& table = m.process_state().table;
  const auto id = static_cast<std::uint32_t>(600 + 4 * table.size());
  table.push_back({id, image, true, std::nullopt, std::nullopt});
}

// One application: the profile in force (none when empty), the target, what the machine is made
// to do first, and the result and the steps expected.
struct Row {
  std::string name;
  std::optional<Profile> inForce;
  Profile target;
  int code;
  Steps steps;
  std::function<void(sim::Machine&)> arrange = [](sim::Machine&) {};
};

class ApplySelectProfileTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    demo_ = sim::Machine::Demo();
    Use(demo_);
    normal = CaptureAndStore("Office");
    host = StoreWithRole("Home host", 1);
    client = StoreWithRole("Near a host", 2);
    secondHost = StoreWithRole("Second host", 1);
    pristine_ = machine().ToJsonText();
  }
  void TearDown() override {
    frame::SharedWLan().bWZCStopped = 0;
    SimTest::TearDown();
  }

  // Captures the machine into a new profile of sharing role `role` (1 host, 2 client): the wired
  // adapter public (for a host), the wireless one private, with a private wireless network.
  Profile StoreWithRole(const std::string& name, int role) {
    Profile p = CaptureAndStore(name);
    p.env.nICSFlag = role;
    p.env.bPrivateWlan = 1;
    Put(p.env.strPublicDevGUID, role == 1 ? Text(p.adapters[0].AdapterName) : "");
    Put(p.env.strPrivateDevGUID, Text(p.adapters[1].AdapterName));
    EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);
    return p;
  }

  static Profile WithoutPrivateWlan(Profile p) {
    p.env.bPrivateWlan = 0;
    return p;
  }
  static Profile WithRole(Profile p, int role) {
    p.env.nICSFlag = role;
    return p;
  }

  // Runs a row on a fresh copy of the machine as SetUp left it, with its steps written down
  // (those of `arrange` left out). Returns the machine afterwards; `before` is its machine file as
  // the application found it.
  std::shared_ptr<sim::Machine> Run(const Row& row, std::string* before = nullptr) {
    SCOPED_TRACE(row.name);
    auto fresh = sim::Machine::FromJsonText(pristine_);
    auto logged = std::make_shared<StepPlatform>(fresh);
    InstallPlatform(logged);
    row.arrange(*fresh);
    logged->Clear();
    if (before != nullptr) *before = fresh->ToJsonText();
    Profile target = row.target;
    EnvInfoStr current{};
    if (row.inForce) current = row.inForce->env;
    NebrinHandle handle{};
    EXPECT_EQ(CNetInfoManage().ApplySelectProfile(handle, &target.env, target.adapters,
                                                  row.inForce ? &current : nullptr, nullptr),
              row.code);
    EXPECT_EQ(logged->steps(), row.steps);
    EXPECT_EQ(fresh->OpenHandles(), 0u);
    EXPECT_EQ(fresh->ComMisuses(), 0u);
    frame::SharedWLan().bWZCStopped = 0;
    InstallPlatform(demo_);
    return fresh;
  }

  Profile normal, host, client, secondHost;

 private:
  std::shared_ptr<sim::Machine> demo_;
  std::string pristine_;
};

TEST_F(ApplySelectProfileTest, EachPairOfRolesTakesItsSteps) {
  const Profile other = WithRole(normal, 3);
  Profile hostMoved = host;
  Put(hostMoved.env.strPublicDevGUID, "{00000000-0000-0000-0000-000000000099}");
  Profile hostPrivateMoved = host;
  Put(hostPrivateMoved.env.strPrivateDevGUID, "{00000000-0000-0000-0000-000000000098}");
  const Steps shell = {"netsh"};
  const Steps clientSteps = {"netsh", "Tamsel /1"};

  const std::vector<Row> rows = {
      {"none to a host", std::nullopt, host, 16, kHostSteps},
      {"none to a client", std::nullopt, client, 16, clientSteps},
      {"none to a client without wireless network", std::nullopt, WithoutPrivateWlan(client), 21,
       shell},
      {"none to a normal profile", std::nullopt, normal, 21, shell},
      {"none to another role", std::nullopt, other, 21, shell},
      {"normal to normal", normal, normal, 21, shell},
      {"normal to a host", normal, host, 16, kHostSteps},
      {"normal to a client", normal, client, 16, clientSteps},
      {"normal to another role", normal, other, 21, shell},
      {"host to normal", host, normal, 21, {"sharing off", "StartWZCService", "netsh"}},
      {"host without wireless network to normal",
       WithoutPrivateWlan(host),
       normal,
       21,
       {"sharing off", "netsh"}},
      {"host to another host", secondHost, host, 16, kHostSteps},
      {"host to itself", host, host, 21, shell},
      {"host to itself with another public adapter", hostMoved, host, 0, {}},
      {"host to itself with another private adapter", hostPrivateMoved, host, 0, {}},
      {"host to a client", host, client, 16, {"sharing off", "netsh", "Tamsel /2"}},
      {"host to another role", host, other, 21, shell},
      {"client to normal", client, normal, 21, {"netsh", "StartWZCService"}},
      {"client without wireless network to normal", WithoutPrivateWlan(client), normal, 21, shell},
      {"client to a host", client, host, 16, kHostSteps},
      {"client to a client", client, client, 16, {"netsh", "Tamsel /2"}},
      {"client to another role", client, other, 21, shell},
      {"another role to a host", other, host, 21, shell},
      {"another role to a client", other, client, 21, shell},
      // The ad hoc tool only matters to sharing targets with a private wireless network.
      {"tool running, host without wireless network",
       std::nullopt,
       WithoutPrivateWlan(host),
       16,
       {"StartWZCService", "CheckWZCStatus", "sharing off", "share public", "share private"},
       [](sim::Machine& m) { Running(m, "Tamsel.exe"); }},
      {"tool running, normal target", std::nullopt, normal, 21, shell,
       [](sim::Machine& m) { Running(m, "Tamsel.exe"); }},
  };
  for (const Row& row : rows) {
    std::string before;
    const auto after = Run(row, &before);
    // The same host again with other sharing adapters changes nothing.
    if (row.code == 0) {
      EXPECT_EQ(after->ToJsonText(), before) << row.name;
    }
  }
}

TEST_F(ApplySelectProfileTest, AFailedStepEndsTheSequenceWithItsCode) {
  // The host's wired adapter given fixed settings the machine does not have yet.
  Profile hostStatic = host;
  Put(hostStatic.adapters[0].DhcpEnabled, "no");
  Put(hostStatic.adapters[0].IpAddressList, "192.168.1.50");
  Put(hostStatic.adapters[0].SubnetMask, "255.255.255.0");
  Put(hostStatic.adapters[0].GatewayList, "192.168.1.1");
  Steps hostAndShell = kHostSteps;
  hostAndShell.push_back("netsh");
  Steps hostAndRestart = kHostSteps;
  hostAndRestart.push_back("StartWZCService");
  const auto noSharingManager = [](sim::Machine& m) {
    m.FailServiceCall(sim::Service::Connections, 1, platform::kAccessDenied);
  };
  const auto noShell = [](sim::Machine& m) { RemoveProgram(m, "\\netsh.exe"); };
  const auto noTool = [](sim::Machine& m) { RemoveProgram(m, "\\Tamsel.exe"); };
  // The library's own controller recorded that it stopped WZCSVC.
  const auto noToolAfterStop = [](sim::Machine& m) {
    RemoveProgram(m, "\\Tamsel.exe");
    frame::SharedWLan().bWZCStopped = -1;
  };
  // A host's own controller stopped WZCSVC: the library does not read that object's flag, so
  // the service stays stopped (the wait for it gives up after two minutes).
  const auto noToolAfterHostStop = [](sim::Machine& m) {
    RemoveProgram(m, "\\Tamsel.exe");
    CWLanControl mine;
    EXPECT_EQ(mine.StopWZCService(), 0);
    EXPECT_EQ(mine.bWZCStopped, -1);
  };
  const auto wzcsvcDisabled = [](sim::Machine& m) {
    Wzcsvc(m).state = kStopped;
    Wzcsvc(m).startType = kDisabled;
  };
  // WZCSVC stopped; the first start request (manager, service, interrogation, start) refused.
  const auto firstStartRefused = [](sim::Machine& m) {
    Wzcsvc(m).state = kStopped;
    m.FailServiceCall(sim::Service::ServiceManager, 4, platform::kAccessDenied);
  };

  const std::vector<Row> rows = {
      {"host: no sharing manager",
       std::nullopt,
       host,
       15,
       {"StartWZCService", "CheckWZCStatus"},
       noSharingManager},
      {"host: no ad hoc tool", std::nullopt, host, 23, kHostSteps, noTool},
      {"host: no ad hoc tool after the library stopped WZCSVC", std::nullopt, host, 23,
       hostAndRestart, noToolAfterStop},
      {"host: no ad hoc tool after a host object stopped WZCSVC", std::nullopt, host, 23,
       kHostSteps, noToolAfterHostStop},
      {"host: other adapters re-applied", std::nullopt, hostStatic, 16, hostAndShell},
      {"host: other adapters not re-applied", std::nullopt, hostStatic, 17, hostAndShell, noShell},
      {"client: no network shell", std::nullopt, client, 18, {"netsh"}, noShell},
      {"client: no ad hoc tool", std::nullopt, client, 23, {"netsh", "Tamsel /1"}, noTool},
      {"client: no ad hoc tool after the library stopped WZCSVC",
       host,
       client,
       23,
       {"sharing off", "netsh", "Tamsel /2", "StartWZCService"},
       noToolAfterStop},
      {"host to normal: teardown fails", host, normal, 15, {}, noSharingManager},
      {"host to client: teardown fails", host, client, 15, {}, noSharingManager},
      {"client to normal: no network shell", client, normal, 18, {"netsh"}, noShell},
      {"client to normal: WZCSVC cannot start",
       client,
       normal,
       17,
       {"netsh", "StartWZCService", "StartWZCService"},
       wzcsvcDisabled},
      {"client to normal: WZCSVC starts at the second request",
       client,
       normal,
       21,
       {"netsh", "StartWZCService", "StartWZCService"},
       firstStartRefused},
  };
  for (const Row& row : rows) {
    const auto after = Run(row);
    if (row.name == "client to normal: WZCSVC starts at the second request") {
      EXPECT_EQ(Wzcsvc(*after).state, kStartPending);
    }
    if (row.name == "host: other adapters re-applied") {
      std::vector<platform::AdapterListEntry> live;
      ASSERT_TRUE(platform::ReadAdapterList(after->adapters(), live));
      EXPECT_EQ(live[0].ipAddress, "192.168.1.50");
    }
  }
}

TEST_F(ApplySelectProfileTest, HostSetUpWaitsForTheWirelessServiceToRun) {
  Row row{"WZCSVC stopped", std::nullopt, host, 16, kHostSteps, [](sim::Machine& m) {
            Wzcsvc(m).state = kStopped;
            m.set_tick_count(1000);
          }};
  const auto after = Run(row);
  EXPECT_EQ(Wzcsvc(*after).state, kRunning);
  // The demo machine's WZCSVC takes two seconds to start; the poll pauses on the virtual clock
  // (the ad hoc tool's run adds its three seconds).
  const std::uint32_t waited = after->tick_count() - 1000;
  EXPECT_GE(waited, 2000u + 3000u);
  EXPECT_LT(waited, 2000u + 3000u + 1000u);
}

TEST_F(ApplySelectProfileTest, HostSetUpGoesOnWhenTheWirelessServiceNeverRuns) {
  Row row{"WZCSVC disabled", std::nullopt, host, 16, kHostSteps, [](sim::Machine& m) {
            Wzcsvc(m).state = kStopped;
            Wzcsvc(m).startType = kDisabled;
            m.set_tick_count(0xFFFFF000u);  // the limit holds across the counter's wrap
          }};
  const auto after = Run(row);
  const std::uint32_t waited = after->tick_count() - 0xFFFFF000u;
  EXPECT_GT(waited, 120000u);
  EXPECT_LT(waited, 130000u);
  EXPECT_EQ(Wzcsvc(*after).state, kStopped);
  EXPECT_EQ(after->network_connections()[0].sharing, sim::SharingRole::Public);
}

// A limited user's application goes as far as Windows lets it: the sharing manager refuses the
// first switch (11), the network shell changes no address (not confirmed, 19, unless the adapters
// already run as the profile says). No connection's sharing and no adapter's settings change.
TEST_F(ApplySelectProfileTest, ALimitedUserChangesNothing) {
  const auto limited = [](sim::Machine& m) { m.system_state().administrator = false; };
  Profile moved = normal;
  Put(moved.adapters[1].IpAddressList, "10.0.0.8");
  const std::vector<Row> rows = {
      {"none to a host", std::nullopt, host, 11, {"sharing off"}, limited},
      {"host to normal", host, normal, 11, {"sharing off"}, limited},
      {"host to a client", host, client, 11, {"sharing off"}, limited},
      {"none to a client", std::nullopt, client, 19, {"netsh"}, limited},
      {"none to a normal profile with another address",
       std::nullopt,
       moved,
       19,
       {"netsh"},
       limited},
      // The shell changes nothing, and nothing needed changing.
      {"none to the normal profile in force", std::nullopt, normal, 21, {"netsh"}, limited},
  };
  const auto settings = [](sim::Machine& m) {
    std::vector<platform::AdapterListEntry> live;
    EXPECT_TRUE(platform::ReadAdapterList(m.adapters(), live));
    std::string all;
    for (const auto& entry : live) {
      all += entry.adapterName + " " + entry.ipAddress + " " + (entry.dhcpEnabled ? "dhcp" : "");
    }
    for (const auto& c : m.network_connections()) {
      all += c.guid + std::to_string(static_cast<int>(c.sharing)) + (c.firewall ? "on" : "off");
    }
    return all;
  };
  for (const Row& row : rows) {
    std::string before;
    const auto after = Run(row, &before);
    EXPECT_EQ(settings(*after), settings(*sim::Machine::FromJsonText(before))) << row.name;
  }
}

// The sharing service disabled: the host set-up stops at the first switch it would make (13); a
// stopped one is started by it, and the set-up succeeds.
TEST_F(ApplySelectProfileTest, HostSetUpNeedsTheSharingService) {
  const Row disabled{
      "sharing service disabled",
      std::nullopt,
      host,
      13,
      {"StartWZCService", "CheckWZCStatus", "sharing off", "share public"},
      [](sim::Machine& m) { m.sharing_service() = sim::SharingServiceState::Disabled; }};
  EXPECT_EQ(Run(disabled)->network_connections()[0].sharing, sim::SharingRole::None);
  const Row stopped{
      "sharing service stopped", std::nullopt, host, 16, kHostSteps, [](sim::Machine& m) {
        m.sharing_service() = sim::SharingServiceState::Stopped;
      }};
  EXPECT_EQ(Run(stopped)->sharing_service(), sim::SharingServiceState::Running);
}

TEST_F(ApplySelectProfileTest, NothingStartsWhileItCannotBeApplied) {
  const auto lose = [](sim::Machine& m) {
    std::erase_if(m.listed_adapters(),
                  [](const sim::ListedAdapter& a) { return a.type == 71; });  // the wireless card
  };
  struct Case {
    std::string name;
    Profile target;
    int code;
    std::function<void(sim::Machine&)> arrange;
  };
  const std::vector<Case> cases = {
      {"shell before everything", host, 20,
       [&](sim::Machine& m) {
         for (const char* image : {"netsh.exe", "ORL_Core.exe", "Tamsel.exe"}) Running(m, image);
         lose(m);
       }},
      {"core program before the tool", host, 28,
       [&](sim::Machine& m) {
         Running(m, "ORL_Core.exe");
         Running(m, "Tamsel.exe");
         lose(m);
       }},
      {"core program for a normal target", normal, 28,
       [](sim::Machine& m) { Running(m, "ORL_Core.exe"); }},
      {"tool before the adapters, host", host, 27,
       [&](sim::Machine& m) {
         Running(m, "Tamsel.exe");
         lose(m);
       }},
      {"tool, client", client, 27, [](sim::Machine& m) { Running(m, "Tamsel.exe"); }},
      {"private adapter missing, host", host, 26, lose},
      {"private adapter missing, client", client, 26, lose},
  };
  for (const Case& c : cases) {
    std::string before;
    const auto after = Run(Row{c.name, std::nullopt, c.target, c.code, {}, c.arrange}, &before);
    EXPECT_EQ(after->ToJsonText(), before) << c.name;
  }
}

TEST_F(ApplySelectProfileTest, MissingRecordsChangeNothing) {
  NebrinHandle handle{};
  Profile p = host;
  const std::string before = machine().ToJsonText();
  CNetInfoManage manage;
  EXPECT_EQ(manage.ApplySelectProfile(handle, nullptr, p.adapters, nullptr, nullptr), 18);
  EXPECT_EQ(manage.ApplySelectProfile(handle, &p.env, nullptr, &normal.env, nullptr), 18);
  EXPECT_EQ(machine().ToJsonText(), before);
}

}  // namespace
}  // namespace nebrin::testing
