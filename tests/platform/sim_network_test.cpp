// The simulated machine's network, connections, printers, command runner, message boxes and
// clock: their Windows-like answers and their place in the machine file.
#include <gtest/gtest.h>

#include <string>

#include "nebrin/platform_install.h"
#include "NebrinCoreDll.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using namespace nebrin::platform;

TEST(SimNetwork, MachineFileKeepsTheNewState) {
  auto machine = Machine::Demo();
  machine->network().real = true;
  machine->network().hosts.push_back({"10.1.1.1", {"a.lan", "b.lan"}, "+-~"});
  machine->network().urls.push_back({"ftp://files.lan/x", false});
  machine->network_connections().push_back(
      {"Spare", "{1}", 0, "Spare card", SharingRole::Private, true, false});
  machine->messages_shown().push_back({"No DHCP is added", "Class CheckClientIPChange", 0});
  machine->printers().defaultPrinter.reset();
  machine->commands_run().push_back({"notepad.exe", 7});
  machine->set_tick_count(123456);
  machine->system_state().processId = 4242;
  const std::string text = machine->ToJsonText();
  const auto loaded = Machine::FromJsonText(text);
  EXPECT_EQ(loaded->ToJsonText(), text);
  EXPECT_TRUE(loaded->network().real);
  EXPECT_EQ(loaded->network().hosts.back().replies, "+-~");
  EXPECT_FALSE(loaded->network().urls.back().opens);
  const SimConnection& spare = loaded->network_connections().back();
  EXPECT_EQ(spare.status, 0u);
  EXPECT_EQ(spare.sharing, SharingRole::Private);
  EXPECT_TRUE(spare.firewall);
  EXPECT_FALSE(spare.servedBySharingHost);
  ASSERT_EQ(loaded->messages_shown().size(), 1u);
  EXPECT_EQ(loaded->messages_shown()[0].caption, "Class CheckClientIPChange");
  EXPECT_FALSE(loaded->printers().defaultPrinter.has_value());
  EXPECT_EQ(loaded->printers().installed.size(), 3u);
  ASSERT_EQ(loaded->commands_run().size(), 1u);
  EXPECT_EQ(loaded->commands_run()[0].commandLine, "notepad.exe");
  EXPECT_EQ(loaded->commands_run()[0].showCommand, 7u);
  EXPECT_EQ(loaded->tick_count(), 123456u);
  EXPECT_EQ(loaded->system_state().processId, 4242u);
}

TEST(SimNetwork, DamagedMembersAreNamed) {
  const std::string head = R"({"format": "nebrin-machine", "version": 1, )";
  const std::pair<std::string, std::string> cases[] = {
      {R"("network": {"hosts": [{"address": "1.2.3.4", "replies": "+x"}]})",
       "/network/hosts/0/replies"},
      {R"("network": {"urls": [{"opens": true}]})", "/network/urls/0"},
      {R"("network": {"speed": 1})", "/network/speed"},
      {R"("connections": [{"name": "LAN", "status": -1, "guid": "{x}"}])", "/connections/0/status"},
      {R"("connections": [{"guid": "{x}", "sharing": "host"}])", "/connections/0/sharing"},
      {R"("connections": [{"guid": "{x}", "sharing": "public"},)"
       R"( {"guid": "{y}", "sharing": "public"}])",
       "/connections"},
      {R"("messageBoxes": [{"text": 1}])", "/messageBoxes/0/text"},
      {R"("printers": {"installed": "Laser"})", "/printers/installed"},
      {R"("tickCount": "soon")", "/tickCount"},
  };
  for (const auto& [body, where] : cases) {
    try {
      Machine::FromJsonText(head + body + "}");
      ADD_FAILURE() << body << " was accepted";
    } catch (const MachineFileError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(where + ":", 0), 0u) << e.what();
    }
  }
  // Files from before these members still load; a command line alone was shown.
  EXPECT_NO_THROW(Machine::FromJsonText(head + R"("adapters": []})"));
  const auto old = Machine::FromJsonText(head + R"("commandsRun": ["notepad.exe"]})");
  ASSERT_EQ(old->commands_run().size(), 1u);
  EXPECT_EQ(old->commands_run()[0].showCommand, 5u);
}

TEST(SimNetwork, SocketsFollowWinsock) {
  auto machine = std::make_shared<Machine>();
  Sockets& sockets = machine->sockets();
  SocketHandle socket = kNoSocket;
  EXPECT_EQ(sockets.OpenRawIcmp(socket), kWsaNotInitialised);
  EXPECT_EQ(sockets.Startup(0x0003), kWsaVersionNotSupported);
  ASSERT_EQ(sockets.Startup(0x0102), kSuccess);
  ASSERT_EQ(sockets.OpenRawIcmp(socket), kSuccess);
  EXPECT_EQ(machine->OpenHandles(), 2u);  // the start-up and the socket
  ASSERT_EQ(sockets.SetReceiveTimeout(socket, 250), kSuccess);

  std::uint8_t buffer[1024];
  std::size_t received = 0;
  SocketAddress from;
  const std::uint32_t before = machine->tick_count();
  EXPECT_EQ(sockets.ReceiveFrom(socket, buffer, sizeof(buffer), received, from), kWsaTimedOut);
  EXPECT_EQ(machine->tick_count(), before + 250);

  // Loopback: the request comes back, then the reply, each with its IPv4 header.
  std::uint8_t request[8] = {8, 0, 0, 0, 1, 2, 3, 4};
  SocketAddress to;
  to.family = kAfInet;
  to.address = {127, 0, 0, 1};
  std::size_t sent = 0;
  ASSERT_EQ(sockets.SendTo(socket, request, sizeof(request), to, sent), kSuccess);
  EXPECT_EQ(sent, 8u);
  for (std::uint8_t type : {std::uint8_t{8}, std::uint8_t{0}}) {
    ASSERT_EQ(sockets.ReceiveFrom(socket, buffer, sizeof(buffer), received, from), kSuccess);
    EXPECT_EQ(received, 28u);
    EXPECT_EQ(buffer[0], 0x45);
    EXPECT_EQ(buffer[9], 1);
    EXPECT_EQ(buffer[20], type);
    EXPECT_EQ(std::string(buffer + 24, buffer + 28), "\x01\x02\x03\x04");
    EXPECT_EQ(from.address, to.address);
  }
  HostEntry entry;
  EXPECT_EQ(sockets.ResolveHost("LocalHost", entry), kSuccess);
  EXPECT_EQ(entry.firstAddress[0], 127);
  EXPECT_EQ(sockets.ResolveHost("nowhere", entry), kWsaHostNotFound);
  EXPECT_EQ(sockets.ParseDottedAddress("1.2.3.4"), 0x04030201u);
  EXPECT_EQ(sockets.ParseDottedAddress("nowhere"), kInaddrNone);
  sockets.Close(socket);
  sockets.Cleanup();
  EXPECT_EQ(machine->OpenHandles(), 0u);
  EXPECT_EQ(machine->WinsockMisuses(), 0u);
  sockets.Cleanup();  // no start left to end: WSANOTINITIALISED
  EXPECT_EQ(machine->WinsockMisuses(), 1u);
}

TEST(SimNetwork, CommandRunnerRecordsTheShowCommand) {
  auto machine = std::make_shared<Machine>();
  EXPECT_GT(machine->shell().WinExec("notepad.exe", 3), 31u);
  ASSERT_EQ(machine->commands_run().size(), 1u);
  EXPECT_EQ(machine->commands_run()[0].commandLine, "notepad.exe");
  EXPECT_EQ(machine->commands_run()[0].showCommand, 3u);
}

TEST(SimNetwork, ClosingAClientHandleClosesItsUrlHandles) {
  auto machine = std::make_shared<Machine>();
  machine->network().urls = {{"http://a/", true}};
  InternetClient& internet = machine->internet();
  InternetHandle client = kNoInternetHandle;
  InternetHandle url = kNoInternetHandle;
  ASSERT_EQ(internet.Open(u"Nebrin 2.0", kInternetOpenTypePreconfig, client), kSuccess);
  ASSERT_EQ(internet.OpenUrl(client, u"http://a/", kInternetFlagExistingConnect, url), kSuccess);
  EXPECT_EQ(internet.OpenUrl(url, u"http://a/", 0, url), kInvalidHandle);
  EXPECT_EQ(machine->OpenHandles(), 2u);
  internet.Close(client);
  EXPECT_EQ(machine->OpenHandles(), 0u);
}

TEST(SimNetwork, VirtualClock) {
  auto machine = Machine::Demo();
  Clock& clock = machine->clock();
  const std::uint32_t start = clock.TickCount();
  clock.Sleep(300000);
  EXPECT_EQ(clock.TickCount(), start + 300000);
}

TEST(NativePlatformServices, WindowsOnlyServicesFail) {
  InstallPlatform(nullptr);
  Platform& p = Current();
  ComRef manager = kNoComRef;
  EXPECT_EQ(p.connections().CreateSharingManager(manager), kClassNotRegistered);
  EXPECT_EQ(manager, kNoComRef);
  EXPECT_EQ(p.dialogs().ShowMessage(u"text", u"caption", kMbOk), 0);
  std::vector<std::u16string> printers;
  EXPECT_NE(p.spooler().EnumeratePrinters(6, printers), kSuccess);
  std::u16string name;
  EXPECT_NE(p.spooler().GetDefaultPrinter(256, name), kSuccess);
  EXPECT_LE(p.shell().WinExec("notepad.exe", kSwShow), 31u);
  EXPECT_EQ(CCommonFtn().RunPrtWizard(), 1);
  EXPECT_EQ(CNetInfoRetrieve().GetTotalPrtCount(), 0);
}

}  // namespace
}  // namespace nebrin::sim
