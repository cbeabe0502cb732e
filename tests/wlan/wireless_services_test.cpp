// Stopping and starting the wireless configuration service, starting the driver's service, and
// the flag that records a stop, on simulated machines.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/shared_objects.h"
#include "platform/hresult.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;
using sim::Service;

constexpr int kNotInstalled = static_cast<int>(0x80070424u);
constexpr int kDenied = static_cast<int>(0x80070005u);
// ERROR_SERVICE_CANNOT_ACCEPT_CTRL: a control sent to a service that is starting or stopping.
constexpr int kCannotAccept = static_cast<int>(0x80070425u);

class WirelessServicesTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
  std::optional<std::uint32_t> State(const std::string& name) {
    const sim::SimService* service = FindService(machine(), name);
    return service ? std::optional<std::uint32_t>(service->state) : std::nullopt;
  }
};

TEST(SharedController, FlagIsZeroAtLoad) { EXPECT_EQ(frame::SharedWLan().bWZCStopped, 0); }

TEST_F(WirelessServicesTest, StopRecordsWhetherItStoppedARunningService) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> state;  // none: not installed
    short flagBefore;
    int result;
    short flagAfter;
    std::optional<std::uint32_t> stateAfter;
    std::uint64_t serviceCalls;  // open manager, open service, controls, two closes
  };
  const std::vector<Case> cases = {
      {"running: interrogated and stopped", kRunning, 0, 0, -1, kStopPending, 6},
      {"stopped: only interrogated", kStopped, -1, 0, 0, kStopped, 5},
      {"start pending: refused, flag kept", kStartPending, 7, kCannotAccept, 7, kStartPending, 5},
      {"stop pending: refused, flag kept", kStopPending, -1, kCannotAccept, -1, kStopPending, 5},
      {"not installed", std::nullopt, 5, kNotInstalled, 5, std::nullopt, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    SetService(machine(), "WZCSVC", c.state);
    CWLanControl wlan;
    wlan.bWZCStopped = c.flagBefore;
    machine().ResetCounts();
    EXPECT_EQ(wlan.StopWZCService(), c.result);
    EXPECT_EQ(wlan.bWZCStopped, c.flagAfter);
    EXPECT_EQ(State("WZCSVC"), c.stateAfter);
    EXPECT_EQ(machine().CallCount(Service::ServiceManager), c.serviceCalls);
  }
}

TEST_F(WirelessServicesTest, StoppedServiceSettlesAfterItsStopTime) {
  CWLanControl wlan;
  ASSERT_EQ(wlan.StopWZCService(), 0);
  machine().set_tick_count(machine().tick_count() + 999);
  EXPECT_EQ(wlan.CheckWZCStatus(0), 0);
  machine().set_tick_count(machine().tick_count() + 1);
  EXPECT_EQ(wlan.CheckWZCStatus(0), 1);
}

TEST_F(WirelessServicesTest, AFailedStopControlKeepsTheFlagSet) {
  // The fourth service-manager call is the stop control.
  machine().FailServiceCall(Service::ServiceManager, 4, 1061);
  CWLanControl wlan;
  wlan.bWZCStopped = 0;
  EXPECT_EQ(wlan.StopWZCService(), static_cast<int>(0x80070425u));
  EXPECT_EQ(wlan.bWZCStopped, -1);
  EXPECT_EQ(State("WZCSVC"), kRunning);
}

// An error of the interrogation other than "not active", or of a start other than "already
// running", is the member's answer: nothing is started or stopped and the flag keeps its value.
TEST_F(WirelessServicesTest, OtherErrorsOfTheInterrogationOrTheStartAreAnswered) {
  struct Case {
    const char* name;
    const char* service;
    std::uint32_t state;
    std::uint64_t failedCall;  // of the service manager: 3 the interrogation or ORLPD's start
    platform::Status error;
    int (CWLanControl::*member)();
    int result;
  };
  constexpr int kDisabled = static_cast<int>(0x80070422u);
  const std::vector<Case> cases = {
      {"stop: interrogation denied", "WZCSVC", kRunning, 3, 5, &CWLanControl::StopWZCService,
       kDenied},
      {"stop: interrogation answers 1058", "WZCSVC", kRunning, 3, 1058,
       &CWLanControl::StopWZCService, kDisabled},
      {"start: interrogation denied", "WZCSVC", kStopped, 3, 5, &CWLanControl::StartWZCService,
       kDenied},
      {"start: interrogation answers 1058", "WZCSVC", kStopped, 3, 1058,
       &CWLanControl::StartWZCService, kDisabled},
      {"start: the start denied", "WZCSVC", kStopped, 4, 5, &CWLanControl::StartWZCService,
       kDenied},
      {"driver: the start denied", "ORLPD", kStopped, 3, 5, &CWLanControl::StartPDService, kDenied},
      {"driver: the start answers 1058", "ORLPD", kStopped, 3, 1058, &CWLanControl::StartPDService,
       kDisabled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    SetService(machine(), c.service, c.state);
    machine().FailServiceCall(Service::ServiceManager, c.failedCall, c.error);
    CWLanControl wlan;
    wlan.bWZCStopped = 7;
    EXPECT_EQ((wlan.*c.member)(), c.result);
    EXPECT_EQ(wlan.bWZCStopped, 7);
    EXPECT_EQ(State(c.service), c.state);
    EXPECT_EQ(machine().OpenHandles(), 0u);
  }
}

TEST_F(WirelessServicesTest, StartStartsOnlyAServiceThatIsNotActive) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> state;
    int result;
    std::optional<std::uint32_t> stateAfter;
  };
  const std::vector<Case> cases = {
      {"running: nothing started", kRunning, 0, kRunning},
      {"stopped: started", kStopped, 0, kStartPending},
      {"start pending: refused", kStartPending, kCannotAccept, kStartPending},
      {"stop pending: refused", kStopPending, kCannotAccept, kStopPending},
      {"not installed", std::nullopt, kNotInstalled, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    SetService(machine(), "WZCSVC", c.state);
    CWLanControl wlan;
    EXPECT_EQ(wlan.StartWZCService(), c.result);
    EXPECT_EQ(State("WZCSVC"), c.stateAfter);
  }
}

TEST_F(WirelessServicesTest, StartedServiceRunsAfterItsStartTime) {
  SetService(machine(), "WZCSVC", kStopped);
  CWLanControl wlan;
  ASSERT_EQ(wlan.StartWZCService(), 0);
  EXPECT_EQ(wlan.CheckWZCStatus(1), 0);
  machine().set_tick_count(machine().tick_count() + 2000);
  EXPECT_EQ(wlan.CheckWZCStatus(1), 1);
}

TEST_F(WirelessServicesTest, DriverServiceStartsOnceThenAnswersAlreadyRunning) {
  CWLanControl wlan;
  EXPECT_EQ(wlan.StartPDService(), 0);
  EXPECT_EQ(State("ORLPD"), kRunning);
  EXPECT_EQ(wlan.StartPDService(), 1);
}

TEST_F(WirelessServicesTest, MissingServicesAndMissingRightsGiveTheOpenError) {
  struct Case {
    const char* name;
    bool administrator;
    std::optional<std::uint32_t> wzc;  // none: removed
    std::optional<std::uint32_t> driver;
    int expected;
  };
  const std::vector<Case> cases = {
      {"no administrative rights", false, kRunning, kStopped, kDenied},
      {"not installed", true, std::nullopt, std::nullopt, kNotInstalled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    machine().system_state().administrator = c.administrator;
    SetService(machine(), "WZCSVC", c.wzc);
    SetService(machine(), "ORLPD", c.driver);
    CWLanControl wlan;
    wlan.bWZCStopped = 3;
    EXPECT_EQ(wlan.StopWZCService(), c.expected);
    EXPECT_EQ(wlan.StartWZCService(), c.expected);
    EXPECT_EQ(wlan.StartPDService(), c.expected);
    EXPECT_EQ(wlan.bWZCStopped, 3);
    EXPECT_EQ(State("WZCSVC"), c.wzc);
    EXPECT_EQ(State("ORLPD"), c.driver);
  }
}

// What each service member opens: the active database for the services it controls, the default
// database for the rest, all access but for removal, which asks only what it needs.
TEST_F(WirelessServicesTest, EachMemberOpensItsDatabaseWithItsAccess) {
  struct Case {
    const char* name;
    void (*prepare)(Machine&);
    int (*member)();
    std::vector<std::string> opened;  // database, service ("" for the manager), access
  };
  const auto none = [](Machine&) {};
  const auto registered = [](Machine& m) {
    m.service_table().services.push_back(ProductService("C:\\svc.exe"));
  };
  const auto registeredAsDriver = [](Machine& m) {  // not among the Win32 services listed
    sim::SimService driver = ProductService("system32\\drivers\\other.sys");
    driver.type = 0x01;
    m.service_table().services.push_back(driver);
  };
  const std::string activeManager = "ServicesActive, , 0x000F003F";
  const std::string defaultManager = ", , 0x000F003F";
  const std::vector<Case> cases = {
      {"StartPDService",
       none,
       [] { return CWLanControl().StartPDService(); },
       {activeManager, "ServicesActive, ORLPD, 0x000F01FF"}},
      {"StopWZCService",
       none,
       [] { return CWLanControl().StopWZCService(); },
       {activeManager, "ServicesActive, WZCSVC, 0x000F01FF"}},
      {"StartWZCService",
       none,
       [] { return CWLanControl().StartWZCService(); },
       {activeManager, "ServicesActive, WZCSVC, 0x000F01FF"}},
      {"CheckWZCStatus", none, [] { return CWLanControl().CheckWZCStatus(0); }, {defaultManager}},
      {"CheckNebrinWLANStatus",
       none,
       [] { return CWLanControl().CheckNebrinWLANStatus(); },
       {defaultManager}},
      {"InstallWLANService, new",
       none,
       [] {
         std::u16string path = u"C:\\svc.exe";
         return CWLanControl().InstallWLANService(Param(path));
       },
       {defaultManager, defaultManager, ", NebrinWLANService, 0x000F003F created"}},
      {"InstallWLANService, not listed",
       registeredAsDriver,
       [] {
         std::u16string path = u"C:\\svc.exe";
         return CWLanControl().InstallWLANService(Param(path));
       },
       {defaultManager, defaultManager, ", NebrinWLANService, 0x000F01FF"}},
      {"DeleteWLANService",
       registered,
       [] { return CWLanControl().DeleteWLANService(); },
       {", , 0x00000001", ", NebrinWLANService, 0x00010000"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    c.prepare(machine());
    c.member();
    std::vector<std::string> opened;
    for (const sim::ServiceHandleOpened& o : machine().ServiceHandlesOpened()) {
      char access[16];
      std::snprintf(access, sizeof(access), "0x%08X", static_cast<unsigned>(o.access));
      opened.push_back(o.database + ", " + o.service + ", " + access +
                       (o.created ? " created" : ""));
    }
    EXPECT_EQ(opened, c.opened);
  }
}

}  // namespace
}  // namespace nebrin::testing
