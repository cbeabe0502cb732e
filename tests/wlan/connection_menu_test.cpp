// The connection menu command in the Network Connections folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;

class ConnectionMenuTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
  int OnAp(std::u16string name) { return CWLanControl().OnAp(Param(name)); }
  std::uint32_t Status(const std::string& name) {
    for (const auto& c : machine().network_connections()) {
      if (c.name == name) return c.status;
    }
    throw std::logic_error("no such connection");
  }
};

TEST_F(ConnectionMenuTest, CommandTogglesTheConnection) {
  ASSERT_EQ(Status("Wireless Network Connection"), 7u);
  EXPECT_EQ(OnAp(u"Wireless Network Connection"), 1);
  EXPECT_EQ(Status("Wireless Network Connection"), 0u);  // disabled
  EXPECT_EQ(OnAp(u"wireless network connection"), 1);    // the folder ignores case
  EXPECT_EQ(Status("Wireless Network Connection"), 2u);  // enabled again
  EXPECT_EQ(Status("Local Area Connection"), 2u);
  const auto& commands = machine().shell_state().menuCommands;
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].connection, "Wireless Network Connection");
  EXPECT_EQ(commands[0].offset, 24u);
  EXPECT_EQ(machine().ComApartmentDepth(), 0u);
}

TEST_F(ConnectionMenuTest, UnknownNameInvokesNothing) {
  for (const std::u16string name : {u"No Such Connection", u"Wireless", u""}) {
    EXPECT_EQ(OnAp(name), 0);
  }
  EXPECT_EQ(CWLanControl().OnAp(nullptr), 0);
  EXPECT_TRUE(machine().shell_state().menuCommands.empty());
  EXPECT_EQ(Status("Wireless Network Connection"), 7u);
}

TEST_F(ConnectionMenuTest, WorksInTheHostsMultithreadedApartment) {
  // CoInitialize fails there; COM is usable all the same and is not uninitialised.
  machine().set_thread_in_multithreaded_apartment(true);
  EXPECT_EQ(OnAp(u"Local Area Connection"), 1);
  EXPECT_EQ(Status("Local Area Connection"), 0u);
}

}  // namespace
}  // namespace nebrin::testing
