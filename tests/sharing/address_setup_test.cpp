// The address steps of sharing on simulated machines: the host's other adapters re-applied without
// the private one, the client's private adapter put on DHCP, and what follows.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

const std::string kOpening = "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n";
const std::string kClosing = "popd\r\n";

std::string DhcpBlock(const std::string& connection) {
  const std::string q = "\"" + connection + "\"";
  return "set address name=" + q + " source=dhcp\r\nset dns name=" + q +
         " source=dhcp\r\nset wins name=" + q + " source=dhcp\r\n";
}

class AddressSetupTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(SharingMachine());
  }
  std::vector<platform::AdapterListEntry> Live() {
    std::vector<platform::AdapterListEntry> entries;
    EXPECT_TRUE(platform::ReadAdapterList(machine().adapters(), entries));
    return entries;
  }
  std::string LastCommandLine() { return machine().process_state().started.back().commandLine; }
};

TEST_F(AddressSetupTest, HostReappliesOnlyItsOtherAdapters) {
  Profile host = StoreSharingProfile(1);
  Profile copy = host;
  ASSERT_EQ(CNetInfoManage().ICSServerSetup(&copy.env, copy.adapters, 1), 16);
  ASSERT_EQ(CNetInfoManage().CheckServerIPChange(&host.env, host.adapters), 0);

  EXPECT_EQ(CNetInfoManage().ServerIPSet(&host.env, host.adapters), 16);
  EXPECT_EQ(ScriptBytes(machine()), kOpening + DhcpBlock("Local Area Connection 1") + kClosing);
  EXPECT_EQ(LastCommandLine(), "netsh -f ip.txt");
  EXPECT_EQ(Live()[1].ipAddress, "192.168.0.1");  // the private adapter kept its address

  // Only "yes" itself marks a DHCP entry: "Yes" gets the fixed block.
  Put(host.adapters[0].DhcpEnabled, "Yes");
  CNetInfoManage().ServerIPSet(&host.env, host.adapters);
  EXPECT_NE(ScriptBytes(machine()).find("\"Local Area Connection 1\" source = static"),
            std::string::npos);
  Put(host.adapters[0].DhcpEnabled, "yes");

  // With the wired adapter as the private one, only the wireless card's lines are written.
  Put(host.env.strPrivateDevGUID, kWiredGuid);
  CNetInfoManage().ServerIPSet(&host.env, host.adapters);
  const std::string script = ScriptBytes(machine());
  EXPECT_NE(script.find("\"Wireless Network Connection 1\" source = static"), std::string::npos);
  EXPECT_EQ(script.find("Local Area Connection 1"), std::string::npos);
}

TEST_F(AddressSetupTest, HostAddressesNotAppliedOrNotConfirmed) {
  Profile host = StoreSharingProfile(1);
  // The wired adapter gets a fixed address the shell refuses: the change is not confirmed.
  Put(host.adapters[0].DhcpEnabled, "no");
  Put(host.adapters[0].IpAddressList, "192.168.7.300");
  Put(host.adapters[0].SubnetMask, "255.255.255.0");
  EXPECT_EQ(CNetInfoManage().ServerIPSet(&host.env, host.adapters), 18);
  EXPECT_FALSE(machine().process_state().shellOutput.empty());
  // No shell can be started.
  machine().process_state().programs.clear();
  host = StoreSharingProfile(1);
  EXPECT_EQ(CNetInfoManage().ServerIPSet(&host.env, host.adapters), 18);
}

TEST_F(AddressSetupTest, ClientPutsItsPrivateAdapterOnDhcp) {
  machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
  Profile client = StoreSharingProfile(2);
  client.env.bDefaultPrinterFlag = 1;
  Put(client.env.strPrinterName, "Inkjet");
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 21);
  EXPECT_EQ(ScriptBytes(machine()),
            kOpening + DhcpBlock("Wireless Network Connection 1") + kClosing);
  EXPECT_EQ(LastCommandLine(), "netsh -f ip.txt ");  // with its blank
  const auto live = Live();
  EXPECT_TRUE(live[1].dhcpEnabled);
  EXPECT_EQ(live[1].ipAddress, "192.168.0.101");  // leased by the sharing host
  EXPECT_EQ(live[0].ipAddress, "192.168.7.20");   // untouched
  EXPECT_TRUE(machine().messages_shown().empty());
  EXPECT_EQ(machine().printers().defaultPrinter, "Inkjet");
  EXPECT_FALSE(machine().KeyExists(sim::kHklm, kMachineWideKey));
  EXPECT_EQ(LastProfile(machine()), std::to_string(client.env.nProfileKey));

  // A private wireless network publishes its key instead; any non-zero flag counts as set.
  for (const int flag : {1, 2, -1}) {
    machine().RemoveKeyTree(sim::kHklm, kMachineWideKey);
    machine().printers().defaultPrinter = "Laser";
    client.env.bPrivateWlan = flag;
    client.env.bDefaultPrinterFlag = flag;
    Put(client.env.strWLANConnectionName, "Home");
    EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 21) << flag;
    EXPECT_EQ(machine().GetString(sim::kHklm, kMachineWideKey, "SSID"), "Home") << flag;
    EXPECT_EQ(machine().printers().defaultPrinter, "Inkjet") << flag;
  }
}

// A profile none of whose entries is the private adapter writes no adapter lines; the answer then
// depends only on whether the private adapter already takes its address by DHCP.
TEST_F(AddressSetupTest, ClientWithoutItsPrivateAdapterAmongItsEntries) {
  Profile client = StoreSharingProfile(2);
  client.env.AdapterCount = 1;  // the wired entry only
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 19);
  EXPECT_EQ(ScriptBytes(machine()), kOpening + kClosing);
  EXPECT_EQ(machine().process_state().started.size(), 1u);
  ASSERT_EQ(machine().messages_shown().size(), 1u);
  EXPECT_EQ(machine().messages_shown()[0].text, "No DHCP is added");
  EXPECT_EQ(LastProfile(machine()), std::nullopt);

  machine().SetDword(sim::kHklm, sim::TcpipInterfaceKey(kWirelessGuid), "EnableDHCP", 1);
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 21);
  EXPECT_EQ(machine().messages_shown().size(), 1u);
  EXPECT_EQ(LastProfile(machine()), std::to_string(client.env.nProfileKey));
}

TEST_F(AddressSetupTest, ClientStepsThatFail) {
  Profile client = StoreSharingProfile(2);
  machine().process_state().programs.clear();
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 18);
  Use(SharingMachine());
  client = StoreSharingProfile(2);
  machine().SetString(sim::kHklm, kMachineWideKey, "SSID", "Cafe");
  // The registry calls on the machine-wide key refused: it is neither removed, nor opened or
  // created.
  const auto refuse = [&](int calls) {
    for (int i = 1; i <= calls; ++i) {
      machine().FailServiceCall(sim::Service::Registry,
                                machine().CallCount(sim::Service::Registry) + i,
                                platform::kAccessDenied);
    }
  };
  refuse(1);
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 25);
  client.env.bPrivateWlan = 1;
  refuse(2);
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 24);
  // A limited user's network shell does not put the private adapter on DHCP.
  Use(SharingMachine());
  client = StoreSharingProfile(2);
  machine().system_state().administrator = false;
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 19);
}

// A spooler that runs out of memory when asked to set the default printer.
class ExhaustedSpooler final : public platform::Spooler {
 public:
  explicit ExhaustedSpooler(platform::Spooler& inner) : inner_(inner) {}
  platform::Status EnumeratePrinters(std::uint32_t flags,
                                     std::vector<std::u16string>& names) override {
    return inner_.EnumeratePrinters(flags, names);
  }
  platform::Status GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) override {
    return inner_.GetDefaultPrinter(capacity, name);
  }
  platform::Status SetDefaultPrinter(std::u16string_view) override { throw std::bad_alloc(); }

 private:
  platform::Spooler& inner_;
};

class ExhaustedSpoolerPlatform final : public platform::ForwardingPlatform {
 public:
  explicit ExhaustedSpoolerPlatform(sim::Machine& machine)
      : ForwardingPlatform(machine), spooler_(machine.spooler()) {}
  platform::Spooler& spooler() override { return spooler_; }

 private:
  ExhaustedSpooler spooler_;
};

// The printer step comes after the network shell: a printer that cannot be set leaves the
// client's result to the steps after it, as the spooler's own answer does.
TEST_F(AddressSetupTest, ClientWhosePrinterCannotBeSetIsStillApplied) {
  Profile client = StoreSharingProfile(2);
  client.env.bDefaultPrinterFlag = 1;
  Put(client.env.strPrinterName, "Inkjet");
  auto exhausted = std::make_shared<ExhaustedSpoolerPlatform>(machine());
  InstallPlatform(exhausted);
  EXPECT_EQ(CNetInfoManage().ICSClientSetup(&client.env, client.adapters), 21);
  EXPECT_NE(machine().printers().defaultPrinter, "Inkjet");
  EXPECT_EQ(LastProfile(machine()), std::to_string(client.env.nProfileKey));
}

}  // namespace
}  // namespace nebrin::testing
