// The simulated sharing manager as the system's sharing service behaves: one public and one
// private connection, the private adapter's fixed address, the firewall flag, every call failable
// on its own, references and COM accounted; and the sharing host that leases addresses on a
// client's network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netstate/discovery_machines.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using namespace nebrin::platform;
using testing::WiredDhcp;
using testing::WirelessStatic;

sim::SimConnection Connection(const std::string& name, const std::string& guid) {
  sim::SimConnection connection;
  connection.name = name;
  connection.guid = guid;
  return connection;
}

// A machine with a wired and a wireless adapter and their two connections, COM initialised.
class SimSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_->AddAdapter(WiredDhcp(1));
    machine_->AddAdapter(WirelessStatic(1));
    machine_->network_connections() = {Connection("LAN", WiredDhcp(1).listed.guid),
                                       Connection("WLAN", WirelessStatic(1).listed.guid)};
    ASSERT_EQ(machine_->com().Initialize(), kSOk);
    ASSERT_EQ(sharing().CreateSharingManager(manager_), kSOk);
  }
  void TearDown() override {
    for (ComRef ref : held_) machine_->com().Release(ref);
    machine_->com().Release(manager_);
    machine_->com().Uninitialize();
    EXPECT_EQ(machine_->OpenHandles(), 0u);
    EXPECT_EQ(machine_->ComMisuses(), 0u);
  }

  NetworkConnections& sharing() { return machine_->connections(); }
  ComRef Hold(ComRef ref) {
    held_.push_back(ref);
    return ref;
  }
  // The sharing configuration of the connection at `position`, through a fresh enumeration.
  ComRef Configuration(std::size_t position) {
    ComRef collection = kNoComRef;
    ComRef enumerator = kNoComRef;
    ComRef connection = kNoComRef;
    ComRef configuration = kNoComRef;
    EXPECT_EQ(sharing().EnumEveryConnection(manager_, collection), kSOk);
    EXPECT_EQ(sharing().NewEnum(Hold(collection), enumerator), kSOk);
    Hold(enumerator);
    for (std::size_t i = 0; i <= position; ++i) {
      EXPECT_EQ(sharing().Next(enumerator, connection), kSOk);
      Hold(connection);
    }
    EXPECT_EQ(sharing().SharingConfiguration(manager_, connection, configuration), kSOk);
    return Hold(configuration);
  }
  std::vector<AdapterListEntry> Listed() {
    std::vector<AdapterListEntry> entries;
    std::uint32_t bytes = 0;
    machine_->adapters().QuerySize(bytes);
    machine_->adapters().Fill(bytes, entries);
    return entries;
  }

  std::shared_ptr<Machine> machine_ = std::make_shared<Machine>();
  ComRef manager_ = kNoComRef;
  std::vector<ComRef> held_;
};

TEST_F(SimSharing, OnePublicAndOnePrivateConnection) {
  const ComRef lan = Configuration(0);
  const ComRef wlan = Configuration(1);
  const auto& connections = machine_->network_connections();

  ASSERT_EQ(sharing().EnableSharing(lan, SharingType::Public), kSOk);
  ASSERT_EQ(sharing().EnableSharing(wlan, SharingType::Public), kSOk);
  EXPECT_EQ(connections[0].sharing, SharingRole::None);  // the role moved
  EXPECT_EQ(connections[1].sharing, SharingRole::Public);

  // Sharing the wireless connection privately gives its adapter 192.168.0.1/24, fixed.
  ASSERT_EQ(sharing().EnableSharing(wlan, SharingType::Private), kSOk);
  EXPECT_EQ(connections[1].sharing, SharingRole::Private);
  bool enabled = false;
  SharingType type = SharingType::Public;
  EXPECT_EQ(sharing().SharingEnabled(wlan, enabled), kSOk);
  EXPECT_EQ(sharing().SharingConnectionType(wlan, type), kSOk);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(type, SharingType::Private);
  EXPECT_FALSE(Listed()[1].dhcpEnabled);
  EXPECT_EQ(Listed()[1].ipAddress, "192.168.0.1");
  EXPECT_EQ(Listed()[1].ipMask, "255.255.255.0");
  EXPECT_EQ(Listed()[1].gateway, "");

  // Switching it off leaves the address.
  ASSERT_EQ(sharing().DisableSharing(wlan), kSOk);
  EXPECT_EQ(connections[1].sharing, SharingRole::None);
  EXPECT_EQ(Listed()[1].ipAddress, "192.168.0.1");

  // Public sharing switched both firewalls on; the switches act on their own connection.
  ASSERT_EQ(sharing().DisableInternetFirewall(wlan), kSOk);
  ASSERT_EQ(sharing().DisableInternetFirewall(lan), kSOk);
  ASSERT_EQ(sharing().EnableInternetFirewall(lan), kSOk);
  EXPECT_EQ(sharing().InternetFirewallEnabled(lan, enabled), kSOk);
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(connections[1].firewall);
  ASSERT_EQ(sharing().DisableInternetFirewall(lan), kSOk);
  EXPECT_FALSE(connections[0].firewall);
}

// Sharing a connection publicly switches its firewall on; sharing one privately keeps its
// firewall as it was.
TEST_F(SimSharing, PublicSharingSwitchesTheFirewallOn) {
  const ComRef lan = Configuration(0);
  const ComRef wlan = Configuration(1);
  auto& connections = machine_->network_connections();
  for (const bool firewall : {true, false}) {
    connections[1].firewall = firewall;
    ASSERT_EQ(sharing().EnableSharing(wlan, SharingType::Private), kSOk);
    EXPECT_EQ(connections[1].firewall, firewall);
  }
  ASSERT_EQ(sharing().EnableSharing(lan, SharingType::Public), kSOk);
  EXPECT_TRUE(connections[0].firewall);
  EXPECT_FALSE(connections[1].firewall);
}

TEST_F(SimSharing, FailedCallChangesNothing) {
  const ComRef wlan = Configuration(1);
  machine_->FailServiceCall(Service::Connections, machine_->CallCount(Service::Connections) + 1,
                            kAccessDenied);
  EXPECT_EQ(sharing().EnableSharing(wlan, SharingType::Private), HResultFromWin32(kAccessDenied));
  EXPECT_EQ(machine_->network_connections()[1].sharing, SharingRole::None);
  EXPECT_EQ(Listed()[1].ipAddress, "10.0.0.5");

  // A connection removed since it was handed out is gone.
  machine_->network_connections().pop_back();
  EXPECT_EQ(sharing().EnableInternetFirewall(wlan), HResultFromWin32(1168));
}

// A limited user may look at the sharing configuration; each change is refused and changes
// nothing, the private adapter's address included.
TEST_F(SimSharing, ALimitedUserMayLookButNotChange) {
  const ComRef lan = Configuration(0);
  const ComRef wlan = Configuration(1);
  auto& connections = machine_->network_connections();
  connections[0].sharing = SharingRole::Public;
  connections[0].firewall = true;
  machine_->system_state().administrator = false;
  const HResult denied = HResultFromWin32(kAccessDenied);
  EXPECT_EQ(sharing().EnableSharing(wlan, SharingType::Private), denied);
  EXPECT_EQ(sharing().EnableSharing(wlan, SharingType::Public), denied);
  EXPECT_EQ(sharing().DisableSharing(lan), denied);
  EXPECT_EQ(sharing().DisableInternetFirewall(lan), denied);
  EXPECT_EQ(sharing().EnableInternetFirewall(wlan), denied);
  EXPECT_EQ(connections[0].sharing, SharingRole::Public);
  EXPECT_TRUE(connections[0].firewall);
  EXPECT_EQ(connections[1].sharing, SharingRole::None);
  EXPECT_FALSE(connections[1].firewall);
  EXPECT_EQ(Listed()[1].ipAddress, "10.0.0.5");
  bool enabled = false;
  EXPECT_EQ(sharing().SharingEnabled(lan, enabled), kSOk);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(sharing().InternetFirewallEnabled(lan, enabled), kSOk);
  EXPECT_TRUE(enabled);
}

// Switching sharing or a firewall on is the sharing service's work: a stopped service is started
// by it, a disabled one refuses it; switching off needs no running service.
TEST_F(SimSharing, SwitchingOnNeedsTheSharingService) {
  using State = SharingServiceState;
  const HResult disabled = HResultFromWin32(1058);
  struct Case {
    const char* call;
    HResult (*run)(NetworkConnections&, ComRef);
    bool on;  // switches sharing or the firewall on
    State before;
    HResult result;
    State after;
  };
  const auto sharePrivately = [](NetworkConnections& s, ComRef c) {
    return s.EnableSharing(c, SharingType::Private);
  };
  const auto sharePublicly = [](NetworkConnections& s, ComRef c) {
    return s.EnableSharing(c, SharingType::Public);
  };
  const auto firewallOn = [](NetworkConnections& s, ComRef c) {
    return s.EnableInternetFirewall(c);
  };
  const auto unshare = [](NetworkConnections& s, ComRef c) { return s.DisableSharing(c); };
  const auto firewallOff = [](NetworkConnections& s, ComRef c) {
    return s.DisableInternetFirewall(c);
  };
  const Case cases[] = {
      {"share privately", sharePrivately, true, State::Running, kSOk, State::Running},
      {"share privately", sharePrivately, true, State::Stopped, kSOk, State::Running},
      {"share privately", sharePrivately, true, State::Disabled, disabled, State::Disabled},
      {"share publicly", sharePublicly, true, State::Stopped, kSOk, State::Running},
      {"share publicly", sharePublicly, true, State::Disabled, disabled, State::Disabled},
      {"firewall on", firewallOn, true, State::Stopped, kSOk, State::Running},
      {"firewall on", firewallOn, true, State::Disabled, disabled, State::Disabled},
      {"sharing off", unshare, false, State::Stopped, kSOk, State::Stopped},
      {"sharing off", unshare, false, State::Disabled, kSOk, State::Disabled},
      {"firewall off", firewallOff, false, State::Disabled, kSOk, State::Disabled},
  };
  const ComRef wlan = Configuration(1);
  auto& connection = machine_->network_connections()[1];
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " with the service " +
                 std::to_string(static_cast<int>(c.before)));
    connection.sharing = c.on ? SharingRole::None : SharingRole::Private;
    connection.firewall = !c.on;
    const SimConnection before = connection;
    machine_->sharing_service() = c.before;
    EXPECT_EQ(c.run(sharing(), wlan), c.result);
    EXPECT_EQ(machine_->sharing_service(), c.after);
    const bool changed =
        connection.sharing != before.sharing || connection.firewall != before.firewall;
    EXPECT_EQ(changed, c.result == kSOk);
  }
  EXPECT_EQ(Listed()[1].ipAddress, "192.168.0.1");  // only the shares that were carried out
}

TEST_F(SimSharing, EnumerationEndsAndStartsOver) {
  ComRef collection = kNoComRef;
  ComRef enumerator = kNoComRef;
  ComRef element = kNoComRef;
  ASSERT_EQ(sharing().EnumEveryConnection(manager_, collection), kSOk);
  ASSERT_EQ(sharing().NewEnum(Hold(collection), enumerator), kSOk);
  Hold(enumerator);
  EXPECT_EQ(sharing().Next(enumerator, element), kSOk);
  Hold(element);
  EXPECT_EQ(sharing().Next(enumerator, element), kSOk);
  Hold(element);
  EXPECT_EQ(sharing().Next(enumerator, element), kSFalse);
  EXPECT_EQ(element, kNoComRef);
  EXPECT_EQ(sharing().Reset(enumerator), kSOk);
  ASSERT_EQ(sharing().Next(enumerator, element), kSOk);
  ComRef props = kNoComRef;
  ASSERT_EQ(sharing().ConnectionProps(manager_, Hold(element), props), kSOk);
  std::u16string guid;
  std::u16string name;
  std::uint32_t status = 0;
  EXPECT_EQ(sharing().Guid(Hold(props), guid), kSOk);
  EXPECT_EQ(sharing().Name(props, name), kSOk);
  EXPECT_EQ(sharing().Status(props, status), kSOk);
  EXPECT_EQ(std::string(guid.begin(), guid.end()), WiredDhcp(1).listed.guid);
  EXPECT_EQ(name, u"LAN");
  EXPECT_EQ(status, kNcsConnected);
}

// Windows would crash on a reference that is not held; the machine answers E_POINTER and counts
// a misuse, as it does for a second release.
TEST(SimSharingManager, ReferencesNotHeldAreMisuses) {
  Machine machine;
  EXPECT_EQ(machine.connections().EnableInternetFirewall(0x7FFFFFFF), kEPointer);
  EXPECT_EQ(machine.ComMisuses(), 1u);
  machine.com().Release(0x7FFFFFFF);
  EXPECT_EQ(machine.ComMisuses(), 2u);
}

// The manager, and the process's COM security, need COM on the thread: an apartment of the
// caller's or the multithreaded apartment the thread is in. Security is set once.
TEST(SimSharingManager, NeedsComOnTheThread) {
  Machine machine;
  ComRef manager = kNoComRef;
  EXPECT_EQ(machine.connections().CreateSharingManager(manager),
            static_cast<HResult>(0x800401F0u));  // CO_E_NOTINITIALIZED
  EXPECT_EQ(machine.com().InitializeSecurity(), static_cast<HResult>(0x800401F0u));
  machine.set_thread_in_multithreaded_apartment(true);
  EXPECT_EQ(machine.com().InitializeSecurity(), kSOk);
  EXPECT_EQ(machine.com().InitializeSecurity(), static_cast<HResult>(0x80010119u));  // too late
  EXPECT_EQ(machine.connections().CreateSharingManager(manager), kSOk);
  machine.com().Release(manager);
  EXPECT_EQ(machine.OpenHandles(), 0u);
}

// An adapter put on DHCP takes the lease the machine file names for it; without one, a sharing
// host serving its connection's network leases it an address of 192.168.0.0/24; otherwise it
// keeps the lease its key holds.
TEST(SimSharingHost, LeasesAddressesOnItsNetwork) {
  struct Case {
    bool explicitLease;
    bool served;
    std::string address;
  };
  for (const Case& c : {Case{false, true, "192.168.0.101"}, Case{true, true, "10.0.0.60"},
                        Case{false, false, "0.0.0.0"}}) {
    Machine machine;
    machine.AddAdapter(WiredDhcp(1));
    machine.AddAdapter(WirelessStatic(1));
    machine.network_connections() = {Connection("LAN", WiredDhcp(1).listed.guid),
                                     Connection("WLAN", WirelessStatic(1).listed.guid)};
    machine.network_connections()[1].servedBySharingHost = c.served;
    if (c.explicitLease) {
      machine.process_state().leases[WirelessStatic(1).listed.guid] =
          SimLease{"10.0.0.60", "255.255.255.0", "10.0.0.1", "10.0.0.1", "10.0.0.1"};
    }
    machine.file_state().files[machine.process_state().currentDirectory + "\\ip.txt"] =
        "pushd interface ip\r\n"
        "set address name=\"Wireless Network Connection 1\" source=dhcp\r\n"
        "popd\r\n";
    ProcessHandle process = kNoProcess;
    ProcessHandle thread = kNoProcess;
    ASSERT_EQ(machine.processes().StartProcess(u"C:\\WINDOWS\\system32\\netsh.exe",
                                               u"netsh -f ip.txt ", kSwHide, process, thread),
              kSuccess);
    machine.processes().CloseHandle(process);
    machine.processes().CloseHandle(thread);
    std::vector<AdapterListEntry> entries;
    ASSERT_TRUE(ReadAdapterList(machine.adapters(), entries));
    EXPECT_TRUE(entries[1].dhcpEnabled);
    EXPECT_EQ(entries[1].ipAddress, c.address) << c.explicitLease << c.served;
    EXPECT_TRUE(machine.process_state().shellOutput.empty());
  }
}

}  // namespace
}  // namespace nebrin::sim
