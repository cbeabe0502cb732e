// Applying a profile's addresses end to end on a simulated machine: the script is written, the
// simulated network shell applies it to the adapters, and the library confirms the result.
#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

const std::string kMachineWide = "SOFTWARE\\CORVANE\\Nebrin";
const std::string kRoot = "Software\\Corvane\\Nebrin";

class NormalSetupTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(TwoAdapterMachine());
    profile = CaptureAndStore();
    machine().SetString(sim::kHklm, kMachineWide, "SSID", "Cafe");
    machine().printers().installed = {"Laser", "Inkjet"};
    machine().printers().defaultPrinter = "Laser";
  }
  std::vector<platform::AdapterListEntry> Live() {
    std::uint32_t bytes = 0;
    machine().adapters().QuerySize(bytes);
    std::vector<platform::AdapterListEntry> entries;
    machine().adapters().Fill(bytes, entries);
    return entries;
  }
  int Apply() { return CNetInfoManage().NormalSetup(&profile.env, profile.adapters); }
  std::optional<std::string> LastProfile() {
    return machine().GetString(sim::kHkcu, kRoot, "LastProfileNo");
  }

  Profile profile;
};

TEST_F(NormalSetupTest, AppliesTheProfileToTheAdapters) {
  // Swap the modes: the wired adapter gets fixed addresses, the wireless one goes to DHCP.
  AdapterInfoStr& wired = profile.adapters[0];
  Put(wired.DhcpEnabled, "no");
  Put(wired.IpAddressList, "192.168.7.99");
  Put(wired.SubnetMask, "255.255.255.0");
  Put(wired.GatewayList, "192.168.7.1");
  Put(wired.Metric, "10");
  Put(wired.PrimaryDnsServer, "192.168.7.2");
  Put(wired.SecondaryDnsServer, "192.168.7.3");
  Put(profile.adapters[1].DhcpEnabled, "yes");
  profile.env.bDefaultPrinterFlag = 1;
  Put(profile.env.strPrinterName, "Inkjet");

  EXPECT_EQ(Apply(), 21);
  const auto live = Live();
  ASSERT_EQ(live.size(), 2u);
  EXPECT_FALSE(live[0].dhcpEnabled);
  EXPECT_EQ(live[0].ipAddress, "192.168.7.99");
  EXPECT_EQ(live[0].gateway, "192.168.7.1");
  EXPECT_TRUE(live[1].dhcpEnabled);
  EXPECT_EQ(live[1].ipAddress, "10.0.0.60");  // the lease the network gives it
  const std::string wiredKey = sim::TcpipInterfaceKey(WiredDhcp(1).listed.guid);
  EXPECT_EQ(machine().GetString(sim::kHklm, wiredKey, "NameServer"), "192.168.7.2,192.168.7.3");
  EXPECT_EQ(machine().printers().defaultPrinter, "Inkjet");
  EXPECT_FALSE(machine().KeyExists(sim::kHklm, kMachineWide));
  EXPECT_EQ(LastProfile(), std::to_string(profile.env.nProfileKey));
  EXPECT_TRUE(machine().process_state().shellOutput.empty());
  // The shell came from the system directory, with the command line unchanged.
  ASSERT_EQ(machine().process_state().started.size(), 1u);
  EXPECT_EQ(machine().process_state().started[0].application, "C:\\WINDOWS\\system32\\netsh.exe");
  EXPECT_EQ(machine().process_state().started[0].commandLine, "netsh -f ip.txt");
  EXPECT_EQ(machine().OpenHandles(), 0u);
}

TEST_F(NormalSetupTest, SettingsTheMachineDoesNotTakeGive19AndChangeNothingElse) {
  Put(profile.adapters[1].IpAddressList, "10.0.0.300");  // the shell refuses the address
  profile.env.bDefaultPrinterFlag = 1;
  Put(profile.env.strPrinterName, "Inkjet");
  EXPECT_EQ(Apply(), 19);
  EXPECT_EQ(Live()[1].ipAddress, "10.0.0.5");
  // The wired adapter is on DHCP already; the wireless one's address is refused.
  EXPECT_EQ(machine().process_state().shellOutput,
            (std::vector<std::string>{"DHCP is already enabled on this interface.",
                                      "Invalid addr parameter (10.0.0.300)."}));
  EXPECT_EQ(machine().printers().defaultPrinter, "Laser");
  EXPECT_TRUE(machine().KeyExists(sim::kHklm, kMachineWide));
  EXPECT_EQ(LastProfile(), std::nullopt);
}

TEST_F(NormalSetupTest, UnknownConnectionIsReportedAndLeavesTheAdapter) {
  Put(profile.adapters[1].ConnectionName, "Renamed Connection");
  Put(profile.adapters[1].IpAddressList, "10.0.0.7");
  EXPECT_EQ(Apply(), 19);
  EXPECT_EQ(Live()[1].ipAddress, "10.0.0.5");
  EXPECT_FALSE(machine().process_state().shellOutput.empty());
}

TEST_F(NormalSetupTest, UnsafeTextsStopBeforeTheShellRuns) {
  Put(profile.adapters[1].ConnectionName, "Wireless Network Connection 1\" addr=1.2.3.4");
  EXPECT_EQ(Apply(), 18);
  Put(profile.adapters[1].ConnectionName, "Wireless Network Connection 1");
  Put(profile.adapters[1].PrimaryDnsServer, "10.0.0.1\r\nset address name=\"x\" source=dhcp");
  EXPECT_EQ(Apply(), 18);
  EXPECT_TRUE(machine().process_state().started.empty());
  EXPECT_EQ(Live()[1].ipAddress, "10.0.0.5");
}

TEST_F(NormalSetupTest, ShellThatCannotStartGives18) {
  machine().process_state().programs.clear();
  EXPECT_EQ(Apply(), 18);
  // A netsh.exe beside the host is never run in place of the system's.
  machine().process_state().programs.push_back(
      {machine().process_state().currentDirectory + "\\netsh.exe", sim::ProgramKind::Idle, 10});
  EXPECT_EQ(Apply(), 18);
  EXPECT_TRUE(machine().process_state().started.empty());
}

// A key with a subkey cannot be deleted.
TEST_F(NormalSetupTest, MachineKeyThatCannotBeRemovedGives25) {
  machine().SetString(sim::kHklm, kMachineWide + "\\Other", "Name", "another program's");
  Put(profile.adapters[1].IpAddressList, "10.0.0.8");
  EXPECT_EQ(Apply(), 25);
  EXPECT_EQ(Live()[1].ipAddress, "10.0.0.8");  // what the shell did stays done
  EXPECT_EQ(LastProfile(), std::nullopt);
}

TEST_F(NormalSetupTest, MissingMachineKeyIsNoFailure) {
  machine().RemoveKeyTree(sim::kHklm, kMachineWide);
  EXPECT_EQ(Apply(), 21);
  EXPECT_EQ(LastProfile(), std::to_string(profile.env.nProfileKey));
}

TEST_F(NormalSetupTest, NoAdaptersStillRunsTheShellButConfirmsNothing) {
  profile.env.AdapterCount = 0;
  EXPECT_EQ(Apply(), 19);
  EXPECT_EQ(ScriptBytes(machine()),
            "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\npopd\r\n");
  EXPECT_EQ(machine().process_state().started.size(), 1u);
}

}  // namespace
}  // namespace nebrin::testing

namespace nebrin::testing {
namespace {

TEST_F(NormalSetupTest, ProcessesFilesAndLeasesSurviveTheMachineFile) {
  Put(profile.adapters[1].IpAddressList, "10.0.0.300");
  EXPECT_EQ(Apply(), 19);
  machine().process_state().table.push_back({300, "Tamsel.exe", false, 4u, 123456u});
  const std::string text = machine().ToJsonText();
  auto copy = sim::Machine::FromJsonText(text);
  EXPECT_EQ(copy->ToJsonText(), text);
  EXPECT_EQ(ScriptBytes(*copy), ScriptBytes(machine()));
  EXPECT_EQ(copy->process_state().leases.size(), 1u);
  EXPECT_EQ(copy->process_state().shellOutput, machine().process_state().shellOutput);
  ASSERT_EQ(copy->process_state().table.size(), 1u);
  EXPECT_EQ(copy->process_state().table[0].endsAtTick, 123456u);
}

}  // namespace
}  // namespace nebrin::testing
