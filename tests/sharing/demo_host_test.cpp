// The host set-up by hand on the demo machine: sharing switched on with the wired connection
// public and the wireless one private, the private address recorded in the stored profile, the
// other adapters re-applied and confirmed.
#include <gtest/gtest.h>

#include <string>

#include "NebrinCoreDll.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

class DemoHostTest : public SimTest {};

TEST_F(DemoHostTest, SharesTheWiredConnectionOverTheWirelessCard) {
  Use(sim::Machine::Demo());
  Profile p = CaptureAndStore("Home host");
  ASSERT_EQ(p.env.AdapterCount, 2);
  const std::string wired = Text(p.adapters[0].AdapterName);
  const std::string wireless = Text(p.adapters[1].AdapterName);
  p.env.nICSFlag = 1;
  Put(p.env.strPublicDevGUID, wired);
  Put(p.env.strPrivateDevGUID, wireless);
  ASSERT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);

  CNetInfoManage manage;
  EXPECT_EQ(manage.ICSServerSetup(&p.env, p.adapters, 1), 16);
  EXPECT_EQ(manage.CheckServerIPChange(&p.env, p.adapters), 0);
  EXPECT_EQ(manage.ServerIPSet(&p.env, p.adapters), 16);

  const auto& connections = machine().network_connections();
  EXPECT_EQ(connections[0].guid, wired);
  EXPECT_EQ(connections[0].sharing, sim::SharingRole::Public);
  EXPECT_EQ(connections[1].sharing, sim::SharingRole::Private);
  std::vector<platform::AdapterListEntry> live;
  ASSERT_TRUE(platform::ReadAdapterList(machine().adapters(), live));
  EXPECT_EQ(live[0].ipAddress, "192.168.1.34");  // the wired lease is kept
  EXPECT_FALSE(live[1].dhcpEnabled);
  EXPECT_EQ(live[1].ipAddress, "192.168.0.1");

  Profile stored;
  CCommonFtn().InitStructure(&stored.env, stored.adapters);
  ASSERT_EQ(CNetInfoRetrieve().GetInfoFromRegistry(p.env.nProfileKey, &stored.env, stored.adapters),
            1);
  EXPECT_EQ(Text(stored.adapters[1].IpAddressList), "192.168.0.1");
  EXPECT_EQ(Text(stored.adapters[1].GatewayList), "");
  EXPECT_EQ(Text(stored.adapters[1].Metric), "0");
  EXPECT_EQ(stored.env.nICSFlag, 1);
  EXPECT_EQ(LastProfile(machine()), std::to_string(p.env.nProfileKey));
}

}  // namespace
}  // namespace nebrin::testing
