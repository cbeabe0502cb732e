#include <gtest/gtest.h>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::Poison;
using nebrin::testing::Profile;

TEST(InitStructure, EmptiesTextsAndCountsAndKeepsWhatNothingReadsYet) {
  Profile p;
  Poison(p);
  const NebrinChar marker = p.adapters[0].DhcpEnabled[0];

  CCommonFtn().InitStructure(&p.env, p.adapters);

  for (const AdapterInfoStr& a : p.adapters) {
    for (const NebrinChar* field :
         {a.AdapterName, a.ConnectionName, a.DeviceDesc, a.GatewayList, a.IpAddressList,
          a.PrimaryWinsServer, a.SecondaryWinsServer, a.SubnetMask, a.PrimaryDnsServer,
          a.SecondaryDnsServer, a.Metric}) {
      EXPECT_EQ(field[0], 0);
    }
    // Nothing reads these before an operation gives them a value.
    EXPECT_EQ(a.DhcpEnabled[0], marker);
    EXPECT_EQ(a.MediaSubType[0], marker);
  }
  const EnvInfoStr& e = p.env;
  for (const NebrinChar* field : {e.strPrinterName, e.strPublicDevGUID, e.strPrivateDevGUID,
                                  e.ProfileName, e.strWLANConnectionName, e.strWLANPassWord}) {
    EXPECT_EQ(field[0], 0);
  }
  EXPECT_EQ(e.bDefaultPrinterFlag, 0);
  EXPECT_EQ(e.bICFFlag, 0);
  EXPECT_EQ(e.bPrivateWlan, 0);
  EXPECT_EQ(e.AdapterCount, 0);
  EXPECT_EQ(e.IconIndex, 0);
  EXPECT_EQ(e.nICSFlag, 0);
  EXPECT_EQ(e.nProfileKey, -1);
  EXPECT_NE(e.bWLANWebKeyUse, 0);  // still the marker
}

TEST(InitStructure, ToleratesNullRecords) {
  Profile p;
  CCommonFtn().InitStructure(nullptr, p.adapters);
  CCommonFtn().InitStructure(&p.env, nullptr);
  EXPECT_EQ(p.env.nProfileKey, -1);
}

}  // namespace
