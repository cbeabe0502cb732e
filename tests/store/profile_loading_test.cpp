#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::Machine;

class LoadingTest : public StoreTest {
 protected:
  int Load(int n) {
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    return retrieve.GetInfoFromRegistry(n, &loaded.env, loaded.adapters);
  }
  Profile loaded;
};

void ExpectSameProfile(const Profile& a, const Profile& b) {
  EXPECT_EQ(Text(a.env.ProfileName), Text(b.env.ProfileName));
  for (auto field : {&EnvInfoStr::AdapterCount, &EnvInfoStr::IconIndex, &EnvInfoStr::nProfileKey,
                     &EnvInfoStr::nICSFlag, &EnvInfoStr::bICFFlag, &EnvInfoStr::bPrivateWlan,
                     &EnvInfoStr::bDefaultPrinterFlag}) {
    EXPECT_EQ(a.env.*field, b.env.*field);
  }
  EXPECT_EQ(Text(a.env.strPrinterName), Text(b.env.strPrinterName));
  EXPECT_EQ(Text(a.env.strPublicDevGUID), Text(b.env.strPublicDevGUID));
  EXPECT_EQ(Text(a.env.strPrivateDevGUID), Text(b.env.strPrivateDevGUID));
  EXPECT_EQ(Text(a.env.strWLANConnectionName), Text(b.env.strWLANConnectionName));
  EXPECT_EQ(Text(a.env.strWLANPassWord), Text(b.env.strWLANPassWord));
  for (int i = 0; i < a.env.AdapterCount; ++i) {
    const AdapterInfoStr& x = a.adapters[i];
    const AdapterInfoStr& y = b.adapters[i];
    EXPECT_EQ(Text(x.DhcpEnabled), Text(y.DhcpEnabled)) << i;
    EXPECT_EQ(Text(x.IpAddressList), Text(y.IpAddressList)) << i;
    EXPECT_EQ(Text(x.GatewayList), Text(y.GatewayList)) << i;
    EXPECT_EQ(Text(x.SubnetMask), Text(y.SubnetMask)) << i;
    EXPECT_EQ(Text(x.PrimaryDnsServer), Text(y.PrimaryDnsServer)) << i;
    EXPECT_EQ(Text(x.SecondaryDnsServer), Text(y.SecondaryDnsServer)) << i;
    EXPECT_EQ(Text(x.PrimaryWinsServer), Text(y.PrimaryWinsServer)) << i;
    EXPECT_EQ(Text(x.SecondaryWinsServer), Text(y.SecondaryWinsServer)) << i;
    EXPECT_EQ(Text(x.ConnectionName), Text(y.ConnectionName)) << i;
    EXPECT_EQ(Text(x.DeviceDesc), Text(y.DeviceDesc)) << i;
    EXPECT_EQ(Text(x.MediaSubType), Text(y.MediaSubType)) << i;
    EXPECT_EQ(Text(x.AdapterName), Text(y.AdapterName)) << i;
    if (Text(x.DhcpEnabled) == "no") {
      EXPECT_EQ(Text(x.Metric), Text(y.Metric)) << i;
    }
  }
}

// What is saved loads back into equal records, for every sharing role.
TEST_F(LoadingTest, SavedProfilesLoadBackEqual) {
  struct Case {
    int ics, privateWlan, keyUse, printer;
  };
  for (const Case& c : {Case{0, 0, 0, 0}, Case{1, 1, 1, 1}, Case{1, 0, 0, 0}, Case{2, 1, 0, 1}}) {
    Use(Machine::Demo());
    Profile saved = OfficeProfile();
    saved.env.nICSFlag = c.ics;
    saved.env.bPrivateWlan = c.privateWlan;
    saved.env.bWLANWebKeyUse = c.keyUse;
    saved.env.bICFFlag = c.ics == 1 ? 1 : 0;
    saved.env.bDefaultPrinterFlag = c.printer;
    if (c.printer) Put(saved.env.strPrinterName, "Laser");
    if (c.ics == 1) Put(saved.env.strPublicDevGUID, kWiredGuid);
    if (c.ics != 0) Put(saved.env.strPrivateDevGUID, kWirelessGuid);
    if (c.privateWlan) Put(saved.env.strWLANConnectionName, "adhoc");
    if (c.keyUse) Put(saved.env.strWLANPassWord, "secret");
    ASSERT_EQ(manage.SaveProfileInfoToRegistry(&saved.env, saved.adapters, 1), 1);
    Poison(loaded);
    ASSERT_EQ(Load(0), 1) << "nICSFlag " << c.ics;
    ExpectSameProfile(saved, loaded);
  }
}

TEST_F(LoadingTest, StoredTextIsDecodedByTheStoresRules) {
  struct Case {
    const char* value;
    const char* text;
    int EnvInfoStr::*field;
    int expected;
  };
  const Case cases[] = {
      {"IconIndex", "12", &EnvInfoStr::IconIndex, 12},
      {"IconIndex", " \t-3", &EnvInfoStr::IconIndex, -3},
      {"IconIndex", "+7", &EnvInfoStr::IconIndex, 7},
      {"IconIndex", "12abc", &EnvInfoStr::IconIndex, 12},
      {"IconIndex", "abc", &EnvInfoStr::IconIndex, 0},
      {"IconIndex", "", &EnvInfoStr::IconIndex, 0},
      {"IconIndex", "99999999999", &EnvInfoStr::IconIndex, INT_MAX},
      {"nProfileKey", "0x10", &EnvInfoStr::nProfileKey, 0},
      {"bDefaultPrinterFlag", "true", &EnvInfoStr::bDefaultPrinterFlag, 1},
      {"bDefaultPrinterFlag", "True", &EnvInfoStr::bDefaultPrinterFlag, 0},
      {"bDefaultPrinterFlag", "true ", &EnvInfoStr::bDefaultPrinterFlag, 0},
      {"bDefaultPrinterFlag", "1", &EnvInfoStr::bDefaultPrinterFlag, 0},
      {"nICSFlag", "server", &EnvInfoStr::nICSFlag, 1},
      {"nICSFlag", "client", &EnvInfoStr::nICSFlag, 2},
      {"nICSFlag", "Server", &EnvInfoStr::nICSFlag, 0},
      {"nICSFlag", "normal", &EnvInfoStr::nICSFlag, 0},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    SeedStore(machine(), "1", {0});
    machine().SetString(kHkcu, ProfilePath(0), "strPublicDevGUID", "{pub}");
    machine().SetString(kHkcu, ProfilePath(0), "strPrivateDevGUID", "{priv}");
    machine().SetString(kHkcu, ProfilePath(0), "bICFFlag", "false");
    machine().SetString(kHkcu, ProfilePath(0), "bPrivateWlan", "false");
    machine().SetString(kHkcu, ProfilePath(0), c.value, c.text);
    ASSERT_EQ(Load(0), 1) << c.value << "=" << c.text;
    EXPECT_EQ(loaded.env.*c.field, c.expected) << c.value << "=\"" << c.text << "\"";
  }
}

TEST_F(LoadingTest, ValuesTheFlagsDoNotCallForAreNotRead) {
  SeedStore(machine(), "1", {0});
  machine().SetString(kHkcu, ProfilePath(0), "bDefaultPrinterFlag", "TRUE");
  machine().SetString(kHkcu, ProfilePath(0), "strPrinterName", "Laser");
  machine().SetString(kHkcu, ProfilePath(0), "strPublicDevGUID", "{left over}");
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  Put(loaded.env.strPrinterName, "untouched");
  Put(loaded.env.strPublicDevGUID, "untouched");
  ASSERT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
  EXPECT_EQ(loaded.env.bDefaultPrinterFlag, 0);
  EXPECT_EQ(Text(loaded.env.strPrinterName), "untouched");
  EXPECT_EQ(Text(loaded.env.strPublicDevGUID), "untouched");
}

// The optional values of a static adapter may be missing, which leaves their fields as they were;
// one that is there but cannot be read (too long for its field) fails the load like any other.
TEST_F(LoadingTest, StaticAdapterNeedsAddressMaskMetricAndMedia) {
  struct Case {
    const char* value;
    bool tooLong;  // false: the value is missing
    int result;
  };
  const Case cases[] = {
      {"GatewayList", false, 1},         {"PrimaryWinsServer", false, 1},
      {"SecondaryWinsServer", false, 1}, {"PrimaryDnsServer", false, 1},
      {"SecondaryDnsServer", false, 1},  {"Metric", false, 0},
      {"IpAddressList", false, 0},       {"SubnetMask", false, 0},
      {"MediaSubType", false, 0},        {"AdapterName", false, 0},
      {"ConnectionName", false, 0},      {"DeviceDesc", false, 0},
      {"DhcpEnabled", false, 0},         {"GatewayList", true, 0},
      {"PrimaryWinsServer", true, 0},    {"SecondaryWinsServer", true, 0},
      {"PrimaryDnsServer", true, 0},     {"SecondaryDnsServer", true, 0},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    SeedStore(machine(), "1", {0}, 1);
    if (c.tooLong) {
      machine().SetString(kHkcu, AdapterPath(0, 0), c.value, std::string(50, '1'));
    } else {
      machine().RemoveValue(kHkcu, AdapterPath(0, 0), c.value);
    }
    const std::string label = std::string(c.value) + (c.tooLong ? " too long" : " missing");
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    Put(loaded.adapters[0].GatewayList, "kept");
    EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), c.result) << label;
    if (label == "GatewayList missing") {
      EXPECT_EQ(Text(loaded.adapters[0].GatewayList), "kept");
    }
  }
}

TEST_F(LoadingTest, MissingAdapterKeyOrProfileFailsTheLoad) {
  SeedStore(machine(), "3", {0, 2}, 1);
  machine().RemoveKeyTree(kHkcu, AdapterPath(2, 0));
  EXPECT_EQ(Load(1), 0);
  EXPECT_EQ(Load(2), 0);
  EXPECT_EQ(Text(loaded.env.ProfileName), "Profile 2");  // read before the failure
  EXPECT_EQ(Load(0), 1);
}

TEST_F(LoadingTest, TooManyAdaptersOrTooLongTextsAreNotLoaded) {
  SeedStore(machine(), "2", {0, 1});
  machine().SetString(kHkcu, ProfilePath(0), "AdapterCount", "11");
  machine().SetString(kHkcu, ProfilePath(1), "ProfileName", std::string(50, 'x'));
  EXPECT_EQ(Load(0), 0);
  EXPECT_EQ(loaded.env.AdapterCount, 0);
  EXPECT_EQ(Load(1), 0);
  machine().SetString(kHkcu, ProfilePath(1), "ProfileName", std::string(49, 'x'));
  EXPECT_EQ(Load(1), 1);
}

TEST_F(LoadingTest, LastAppliedProfile) {
  EXPECT_EQ(manage.SetLastProfileNo(1), 0);
  EXPECT_FALSE(machine().KeyExists(kHkcu, kRoot)) << "remembering never creates the store";
  EXPECT_EQ(retrieve.GetCurrentProfileInfo(&loaded.env, loaded.adapters), 0);

  SeedStore(machine(), "2", {0, 1});
  EXPECT_EQ(retrieve.GetCurrentProfileInfo(&loaded.env, loaded.adapters), 0);
  ASSERT_EQ(manage.SetLastProfileNo(1), 1);
  EXPECT_EQ(machine().GetValue(kHkcu, kRoot, "LastProfileNo")->bytes, StoredBytes("1"));
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  ASSERT_EQ(retrieve.GetCurrentProfileInfo(&loaded.env, loaded.adapters), 1);
  EXPECT_EQ(Text(loaded.env.ProfileName), "Profile 1");

  // Deleting it leaves "LastProfileNo" as it was, and nothing to load.
  ASSERT_EQ(manage.DeleteSelectProfile(1), 1);
  EXPECT_EQ(Value(kRoot, "LastProfileNo"), "1");
  EXPECT_EQ(retrieve.GetCurrentProfileInfo(&loaded.env, loaded.adapters), 0);
}

}  // namespace
