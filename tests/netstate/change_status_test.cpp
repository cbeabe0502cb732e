#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::Profile;
using nebrin::testing::Put;

Profile Sample() {
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  Put(p.env.ProfileName, "Office");
  p.env.IconIndex = 2;
  p.env.AdapterCount = 2;
  for (AdapterInfoStr& a : p.adapters) {
    Put(a.DhcpEnabled, "no");
    Put(a.IpAddressList, "10.0.0.5");
    Put(a.SubnetMask, "255.255.255.0");
    Put(a.GatewayList, "10.0.0.1");
    Put(a.MediaSubType, "line");
  }
  return p;
}

struct ChangeCase {
  const char* what;
  std::function<void(Profile& first, Profile& second)> change;
  int expected;
};

TEST(CheckInfoChangeStatus, ClassifiesWhatDiffers) {
  const ChangeCase cases[] = {
      {"identical", [](Profile&, Profile&) {}, 72},
      {"icon", [](Profile&, Profile& b) { b.env.IconIndex = 5; }, 70},
      {"name case", [](Profile&, Profile& b) { Put(b.env.ProfileName, "office"); }, 70},
      {"printer flag", [](Profile&, Profile& b) { b.env.bDefaultPrinterFlag = 1; }, 70},
      {"gateway and icon",
       [](Profile&, Profile& b) {
         Put(b.adapters[0].GatewayList, "10.0.0.254");
         b.env.IconIndex = 9;
       },
       71},
      {"mode on entry 1", [](Profile&, Profile& b) { Put(b.adapters[1].DhcpEnabled, "yes"); }, 71},
      {"firewall of a sharing host",
       [](Profile&, Profile& b) {
         b.env.nICSFlag = 1;
         b.env.bICFFlag = 1;
       },
       75},
      {"firewall when the second is no host", [](Profile&, Profile& b) { b.env.bICFFlag = 1; }, 72},
      {"firewall and address",
       [](Profile&, Profile& b) {
         b.env.nICSFlag = 1;
         b.env.bICFFlag = 1;
         Put(b.adapters[0].IpAddressList, "10.0.0.6");
       },
       73},
      {"firewall and name",
       [](Profile&, Profile& b) {
         b.env.nICSFlag = 1;
         b.env.bICFFlag = 1;
         Put(b.env.ProfileName, "Home");
       },
       74},
      {"fields that are not compared",
       [](Profile&, Profile& b) {
         Put(b.adapters[0].Metric, "5");
         Put(b.adapters[0].ConnectionName, "Other");
         Put(b.adapters[0].AdapterName, "{X}");
         b.env.AdapterCount = 3;
       },
       72},
      {"entries beyond the first profile's count",
       [](Profile&, Profile& b) { Put(b.adapters[2].IpAddressList, "1.1.1.1"); }, 72},
      {"count beyond the array is clamped",
       [](Profile& a, Profile&) { a.env.AdapterCount = 1000; }, 72},
  };
  for (const ChangeCase& c : cases) {
    Profile first = Sample();
    Profile second = Sample();
    c.change(first, second);
    EXPECT_EQ(CNetInfoRetrieve().CheckInfoChangeStatus(&first.env, first.adapters, &second.env,
                                                       second.adapters),
              c.expected)
        << c.what;
  }
}

// Null records are refused, as the neighbouring members refuse them: 0, none of the codes.
TEST(CheckInfoChangeStatus, NullRecordsAreRefused) {
  Profile a = Sample();
  Profile b = Sample();
  CNetInfoRetrieve retrieve;
  EXPECT_EQ(retrieve.CheckInfoChangeStatus(nullptr, a.adapters, &b.env, b.adapters), 0);
  EXPECT_EQ(retrieve.CheckInfoChangeStatus(&a.env, nullptr, &b.env, b.adapters), 0);
  EXPECT_EQ(retrieve.CheckInfoChangeStatus(&a.env, a.adapters, nullptr, b.adapters), 0);
  EXPECT_EQ(retrieve.CheckInfoChangeStatus(&a.env, a.adapters, &b.env, nullptr), 0);
}

TEST(GetWLANDeviceCount, CountsExactAirEntriesBelowTheCount) {
  Profile p = Sample();
  p.env.AdapterCount = 3;
  Put(p.adapters[1].MediaSubType, "air");
  Put(p.adapters[2].MediaSubType, "air");
  Put(p.adapters[3].MediaSubType, "air");  // beyond the count
  CNetInfoRetrieve retrieve;
  EXPECT_EQ(retrieve.GetWLANDeviceCount(&p.env, p.adapters), 2);
  Put(p.adapters[2].MediaSubType, "Air");
  EXPECT_EQ(retrieve.GetWLANDeviceCount(&p.env, p.adapters), 1);
  p.env.AdapterCount = 0;
  EXPECT_EQ(retrieve.GetWLANDeviceCount(&p.env, p.adapters), 0);
  p.env.AdapterCount = -3;
  EXPECT_EQ(retrieve.GetWLANDeviceCount(&p.env, p.adapters), 0);
}

}  // namespace
