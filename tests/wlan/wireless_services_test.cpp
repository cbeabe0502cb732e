// Stopping and starting the wireless configuration service, starting the driver's service, and
// the flag that records a stop, on simulated machines.
#include <gtest/gtest.h>

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
      {"start pending: flag kept", kStartPending, 7, 0, 7, kStartPending, 5},
      {"stop pending: flag kept", kStopPending, -1, 0, -1, kStopPending, 5},
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
      {"start pending: answers", kStartPending, 0, kStartPending},
      {"stop pending: answers", kStopPending, 0, kStopPending},
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

}  // namespace
}  // namespace nebrin::testing
