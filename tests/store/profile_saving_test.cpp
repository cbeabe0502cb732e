#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/store_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::sim::kHkcu;
using nebrin::sim::kHklm;
using nebrin::sim::Machine;
using nebrin::sim::RegType;

class SavingTest : public StoreTest {
 protected:
  int SaveNew(Profile& p) { return manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 1); }
};

// The stored format is read by other programs: names, order, type and bytes of every value.
TEST_F(SavingTest, StoresEveryValueInOrderAsTextWithOneTerminator) {
  Use(Machine::Demo());
  Profile p = OfficeProfile();
  p.env.nICSFlag = 1;
  p.env.bICFFlag = 1;
  p.env.bPrivateWlan = 1;
  p.env.bWLANWebKeyUse = 0;
  p.env.bDefaultPrinterFlag = 1;
  Put(p.env.strPrinterName, "Laser");
  Put(p.env.strPublicDevGUID, kWiredGuid);
  Put(p.env.strPrivateDevGUID, kWirelessGuid);
  Put(p.env.strWLANConnectionName, "adhoc");
  Put(p.env.strWLANPassWord, "secret");
  ASSERT_EQ(SaveNew(p), 1);

  // Each value comes before the value that calls for it, the adapter's mode and the profile's
  // name last, so that a write cut off anywhere leaves a store that reads.
  using Values = std::vector<std::pair<std::string, std::string>>;
  const Values profile = {{"strPrinterName", "Laser"},
                          {"strPublicDevGUID", kWiredGuid},
                          {"strPrivateDevGUID", kWirelessGuid},
                          {"bICFFlag", "true"},
                          {"strWLANConnectionName", "adhoc"},
                          {"strWLANPassWord", "secret"},
                          {"bWLANWebKeyUse", "false"},
                          {"bPrivateWlan", "true"},
                          {"bDefaultPrinterFlag", "true"},
                          {"nICSFlag", "server"},
                          {"nProfileKey", "0"},
                          {"IconIndex", "3"},
                          {"AdapterCount", "2"},
                          {"ProfileName", "Office"}};
  const Values dhcpAdapter = {{"IpAddressList", "192.168.1.34"},
                              {"GatewayList", "192.168.1.1"},
                              {"PrimaryWinsServer", ""},
                              {"SecondaryWinsServer", ""},
                              {"PrimaryDnsServer", "192.168.1.1"},
                              {"SecondaryDnsServer", "192.168.1.2"},
                              {"ConnectionName", "Local Area Connection"},
                              {"DeviceDesc", "Intel(R) PRO/100 VE Network Connection"},
                              {"MediaSubType", "line"},
                              {"SubnetMask", "255.255.255.0"},
                              {"AdapterName", kWiredGuid},
                              {"DhcpEnabled", "yes"}};
  const Values staticAdapter = {{"IpAddressList", "10.0.0.5"},
                                {"GatewayList", "10.0.0.1"},
                                {"PrimaryWinsServer", "10.0.0.3"},
                                {"SecondaryWinsServer", ""},
                                {"PrimaryDnsServer", "10.0.0.1"},
                                {"SecondaryDnsServer", "10.0.0.2"},
                                {"ConnectionName", "Wireless Network Connection"},
                                {"DeviceDesc", "802.11b Wireless PC Card"},
                                {"MediaSubType", "air"},
                                {"SubnetMask", "255.255.255.0"},
                                {"AdapterName", kWirelessGuid},
                                {"Metric", "20"},
                                {"DhcpEnabled", "no"}};

  for (const auto& [key, expected] :
       std::vector<std::pair<std::string, Values>>{{ProfilePath(0), profile},
                                                   {AdapterPath(0, 0), dhcpAdapter},
                                                   {AdapterPath(0, 1), staticAdapter}}) {
    std::vector<std::string> names;
    for (const auto& [name, text] : expected) {
      names.push_back(name);
      const auto stored = machine().GetValue(kHkcu, key, name);
      ASSERT_TRUE(stored.has_value()) << key << " " << name;
      EXPECT_EQ(stored->type, RegType::String) << key << " " << name;
      EXPECT_EQ(stored->bytes, StoredBytes(text)) << key << " " << name;
    }
    EXPECT_EQ(machine().ValueNames(kHkcu, key), names) << key;
  }
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "1");
  EXPECT_EQ(machine().ValueNames(kHkcu, kRoot), std::vector<std::string>{"ProfileCount"});
  EXPECT_EQ(Text(p.adapters[1].Metric), "20");  // taken from the system into the record
}

TEST_F(SavingTest, SharingRoleDecidesWhichProfileValuesAreWritten) {
  const std::vector<std::string> tail = {"bDefaultPrinterFlag", "nICSFlag", "nProfileKey",
                                         "IconIndex", "AdapterCount", "ProfileName"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> all = {"strPrinterName"};
    all.insert(all.end(), more.begin(), more.end());
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
  };
  const std::vector<std::string> common = with({});
  const std::vector<std::string> wlan = {"strWLANConnectionName", "strWLANPassWord",
                                         "bWLANWebKeyUse"};
  struct Case {
    int ics, privateWlan;
    std::string role;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {0, 1, "normal", common},
      {3, 1, "normal", common},
      {2, 0, "client", with({"strPrivateDevGUID", "bPrivateWlan"})},
      {2, 1, "client", with({"strPrivateDevGUID", wlan[0], wlan[1], wlan[2], "bPrivateWlan"})},
      {2, 2, "client", with({"strPrivateDevGUID", "bPrivateWlan"})},
      {1, 0, "server", with({"strPublicDevGUID", "strPrivateDevGUID", "bICFFlag", "bPrivateWlan"})},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    Profile p = OfficeProfile();
    p.env.AdapterCount = 0;
    p.env.nICSFlag = c.ics;
    p.env.bPrivateWlan = c.privateWlan;
    ASSERT_EQ(SaveNew(p), 1);
    EXPECT_EQ(machine().ValueNames(kHkcu, ProfilePath(0)), c.names) << "nICSFlag " << c.ics;
    EXPECT_EQ(Value(ProfilePath(0), "nICSFlag"), c.role);
    if (c.ics == 2) {
      EXPECT_EQ(Value(ProfilePath(0), "bPrivateWlan"), c.privateWlan == 1 ? "true" : "false");
    }
  }
}

TEST_F(SavingTest, NewProfilesTakeTheNumberInProfileCount) {
  struct Case {
    const char* name;
    const char* profileCount;  // null: no store yet
    int newProfile;
    int number;
    const char* countAfter;
  };
  const Case cases[] = {
      {"first save, flag set", nullptr, 1, 0, "1"},
      {"first save ignores the flag", nullptr, 0, 0, "1"},
      {"next number", "5", 1, 5, "6"},
      {"decimal conversion", " 7th", 1, 7, "8"},
      {"text without digits", "none", 1, 0, "1"},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    if (c.profileCount) machine().SetString(kHkcu, kRoot, "ProfileCount", c.profileCount);
    Profile p = OfficeProfile();
    Put(p.adapters[1].Metric, "20");  // this machine has no interface key to take it from
    ASSERT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, c.newProfile), 1) << c.name;
    EXPECT_EQ(p.env.nProfileKey, c.number) << c.name;
    EXPECT_EQ(Subkeys(kRoot), std::vector<std::string>{std::to_string(c.number)}) << c.name;
    EXPECT_EQ(Subkeys(ProfilePath(c.number)), (std::vector<std::string>{"0", "1"})) << c.name;
    EXPECT_EQ(Value(ProfilePath(c.number), "nProfileKey"), std::to_string(c.number)) << c.name;
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.countAfter) << c.name;
  }
}

TEST_F(SavingTest, ProfileWithoutAdaptersHasNoSubkeys) {
  Profile p = OfficeProfile();
  p.env.AdapterCount = 0;
  ASSERT_EQ(SaveNew(p), 1);
  EXPECT_TRUE(Subkeys(ProfilePath(0)).empty());
  EXPECT_EQ(Value(ProfilePath(0), "AdapterCount"), "0");
}

TEST_F(SavingTest, StaticAdapterWithoutMetricTakesTheSystemsOrOne) {
  struct Case {
    const char* name;
    bool interfaceKey;
    std::optional<std::uint32_t> metric;
    int result;
    std::string stored;
  };
  const Case cases[] = {
      {"system metric", true, 35, 1, "35"},
      {"no metric value", true, std::nullopt, 1, "1"},
      {"no interface key", false, std::nullopt, 0, "<missing>"},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    const std::string tcpip = nebrin::sim::TcpipInterfaceKey(kWirelessGuid);
    if (c.interfaceKey) machine().CreateKeyPath(kHklm, tcpip);
    if (c.metric) machine().SetDword(kHklm, tcpip, "InterfaceMetric", *c.metric);
    Profile p = OfficeProfile();
    EXPECT_EQ(manage.SaveValueForEachAdapter(p.adapters, 0, 1), 0) << "key must exist";
    machine().CreateKeyPath(kHkcu, AdapterPath(0, 1));
    EXPECT_EQ(manage.SaveValueForEachAdapter(p.adapters, 0, 1), c.result) << c.name;
    EXPECT_EQ(Value(AdapterPath(0, 1), "Metric"), c.stored) << c.name;
    // A metric the record already has is kept.
    Put(p.adapters[1].Metric, "7");
    EXPECT_EQ(manage.SaveValueForEachAdapter(p.adapters, 0, 1), 1) << c.name;
    EXPECT_EQ(Value(AdapterPath(0, 1), "Metric"), "7") << c.name;
  }
}

TEST_F(SavingTest, DhcpAdapterGetsNoMetric) {
  Profile p = OfficeProfile();
  Put(p.adapters[0].Metric, "5");
  machine().CreateKeyPath(kHkcu, AdapterPath(0, 0));
  ASSERT_EQ(manage.SaveValueForEachAdapter(p.adapters, 0, 0), 1);
  EXPECT_EQ(Value(AdapterPath(0, 0), "Metric"), "<missing>");
}

TEST_F(SavingTest, RewriteChangesTheProfileInPlace) {
  Use(Machine::Demo());
  Profile p = OfficeProfile();
  ASSERT_EQ(SaveNew(p), 1);
  Profile second = OfficeProfile("Home");
  ASSERT_EQ(SaveNew(second), 1);

  Put(p.env.ProfileName, "Office 2");
  Put(p.adapters[1].IpAddressList, "10.0.0.9");
  ASSERT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);
  EXPECT_EQ(Value(ProfilePath(0), "ProfileName"), "Office 2");
  EXPECT_EQ(Value(AdapterPath(0, 1), "IpAddressList"), "10.0.0.9");
  EXPECT_EQ(Value(ProfilePath(1), "ProfileName"), "Home");
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "2");
  EXPECT_EQ(Subkeys(kRoot), (std::vector<std::string>{"0", "1"}));
}

// A rewrite whose AdapterCount grew creates the missing adapter keys, so the profile still loads.
TEST_F(SavingTest, RewriteWithMoreAdaptersCreatesTheirKeys) {
  Use(Machine::Demo());
  Profile p = OfficeProfile();
  p.env.AdapterCount = 1;
  ASSERT_EQ(SaveNew(p), 1);
  p.env.AdapterCount = 2;
  ASSERT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 1);
  EXPECT_EQ(Subkeys(ProfilePath(0)), (std::vector<std::string>{"0", "1"}));
  Profile loaded;
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
  EXPECT_EQ(Text(loaded.adapters[1].IpAddressList), "10.0.0.5");
}

TEST_F(SavingTest, RewriteOfAProfileNotStoredCreatesNothing) {
  SeedStore(machine(), "1", {0});
  Profile p = OfficeProfile();  // nProfileKey -1
  EXPECT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 0);
  p.env.nProfileKey = 4;
  EXPECT_EQ(manage.SaveProfileInfoToRegistry(&p.env, p.adapters, 0), 0);
  EXPECT_EQ(Subkeys(kRoot), std::vector<std::string>{"0"});
}

// Without a readable "ProfileCount" a save writes nothing, unless the root holds no profiles
// either: that is what a first save leaves when it cannot write the count, and the next save is a
// first save again.
TEST_F(SavingTest, RootWithoutReadableProfileCount) {
  struct Case {
    const char* name;
    std::vector<int> profiles;
    std::optional<std::string> count;  // none: no "ProfileCount"
    int result;
    std::vector<std::string> subkeys;
    std::string countAfter;
  };
  const Case cases[] = {
      {"empty root", {}, std::nullopt, 1, {"0"}, "1"},
      {"profiles without a count", {0}, std::nullopt, 0, {"0"}, "<missing>"},
      {"count too long to read", {}, std::string(100, '1'), 0, {}, std::string(100, '1')},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    machine().CreateKeyPath(kHkcu, kRoot);
    for (int n : c.profiles) SeedProfile(machine(), n, "Stored");
    if (c.count) machine().SetString(kHkcu, kRoot, "ProfileCount", *c.count);
    Profile p = OfficeProfile();
    Put(p.adapters[1].Metric, "20");
    EXPECT_EQ(SaveNew(p), c.result) << c.name;
    EXPECT_EQ(Subkeys(kRoot), c.subkeys) << c.name;
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.countAfter) << c.name;
    EXPECT_EQ(p.env.nProfileKey, c.result == 1 ? 0 : -1) << c.name;
  }
}

// A new profile never takes a number that is in use or that has no successor: the save answers 0
// and changes nothing, neither the store ("ProfileCount" is not even rewritten: its stored bytes,
// which carry text after the number's terminator, stay as they are) nor the caller's record.
TEST_F(SavingTest, NewProfileRefusesANumberItCannotTake) {
  struct Case {
    const char* count;
    std::vector<int> stored;
  };
  const Case cases[] = {
      {"-1", {}},                               // the never-stored number
      {"-7", {}},          {"2147483647", {}},  // no number after it
      {"99999999999", {}},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    SeedStore(machine(), c.count, c.stored, 1);
    std::vector<std::uint8_t> count = StoredBytes(c.count);
    for (std::uint8_t b : StoredBytes("x")) count.push_back(b);
    machine().SetValue(kHkcu, kRoot, "ProfileCount", {RegType::String, count});
    Profile p = OfficeProfile("New");
    p.env.nProfileKey = 7;  // the record of a profile loaded earlier
    Put(p.adapters[1].Metric, "20");
    EXPECT_EQ(SaveNew(p), 0) << c.count;
    EXPECT_EQ(p.env.nProfileKey, 7) << c.count;
    EXPECT_EQ(machine().GetValue(kHkcu, kRoot, "ProfileCount")->bytes, count) << c.count;
    std::vector<std::string> names;
    for (int n : c.stored) names.push_back(std::to_string(n));
    EXPECT_EQ(Subkeys(kRoot), names) << c.count;
    EXPECT_EQ(Value(kRoot, "ProfileCount"), c.count) << c.count;
    for (int n : c.stored) {
      EXPECT_EQ(Value(ProfilePath(n), "ProfileName"), "Profile " + std::to_string(n)) << c.count;
      EXPECT_EQ(Subkeys(ProfilePath(n)), std::vector<std::string>{"0"}) << c.count;
    }
  }
  // The last number that has a successor is taken.
  Use(std::make_shared<Machine>());
  SeedStore(machine(), "2147483646", {});
  Profile p = OfficeProfile();
  p.env.AdapterCount = 0;
  ASSERT_EQ(SaveNew(p), 1);
  EXPECT_EQ(p.env.nProfileKey, 2147483646);
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "2147483647");
}

// A store root that exists but cannot be opened is not a first save: profile 0 and
// "ProfileCount" stay as they are.
TEST_F(SavingTest, RootThatDoesNotOpenIsNotOverwritten) {
  SeedStore(machine(), "2", {0, 1});
  machine().FailCall(1, nebrin::platform::kAccessDenied);
  Profile p = OfficeProfile();
  EXPECT_EQ(SaveNew(p), 0);
  EXPECT_EQ(Value(kRoot, "ProfileCount"), "2");
  EXPECT_EQ(Value(ProfilePath(0), "ProfileName"), "Profile 0");
}

TEST_F(SavingTest, MoreThanTenAdaptersAreRefusedBeforeAnythingIsWritten) {
  Profile p = OfficeProfile();
  p.env.AdapterCount = 11;
  EXPECT_EQ(SaveNew(p), 0);
  EXPECT_FALSE(machine().KeyExists(kHkcu, kRoot));
  EXPECT_EQ(manage.SaveValueForEachAdapter(p.adapters, 0, 10), 0);
}

TEST_F(SavingTest, SaveNameOrPrinterWritesFourValuesAndSetsTheDefaultPrinterOnlyWhenFlagged) {
  SeedStore(machine(), "1", {0});
  machine().printers().installed = {"Laser", "Inkjet"};
  machine().printers().defaultPrinter = "Inkjet";
  struct Case {
    const char* name;
    int flag;
    const char* printer;
    int result;
    const char* defaultAfter;
  };
  const Case cases[] = {
      {"not flagged", 0, "Laser", 1, "Inkjet"},
      {"flagged", 1, "Laser", 1, "Laser"},
      {"printer the spooler does not know", 1, "Plotter", 0, "Laser"},
  };
  for (const Case& c : cases) {
    Profile p = OfficeProfile(c.name);
    p.env.nProfileKey = 0;
    p.env.IconIndex = 9;
    p.env.bDefaultPrinterFlag = c.flag;
    Put(p.env.strPrinterName, c.printer);
    EXPECT_EQ(manage.SaveNameOrPrinter(&p.env), c.result) << c.name;
    // The values are written whether or not the spooler takes the printer.
    EXPECT_EQ(Value(ProfilePath(0), "ProfileName"), c.name);
    EXPECT_EQ(Value(ProfilePath(0), "IconIndex"), "9");
    EXPECT_EQ(Value(ProfilePath(0), "bDefaultPrinterFlag"), c.flag ? "true" : "false");
    EXPECT_EQ(Value(ProfilePath(0), "strPrinterName"), c.printer);
    EXPECT_EQ(machine().printers().defaultPrinter, c.defaultAfter) << c.name;
  }
  EXPECT_EQ(Value(ProfilePath(0), "AdapterCount"), "0");  // the rest is left alone

  Profile missing = OfficeProfile();
  missing.env.nProfileKey = 3;
  EXPECT_EQ(manage.SaveNameOrPrinter(&missing.env), 0);
  EXPECT_FALSE(machine().KeyExists(kHkcu, ProfilePath(3)));
}

// A field the host left without terminator is stored as the loader reads it back: cut to the
// field's capacity - 1, so that what is saved loads.
TEST_F(SavingTest, HostFieldsWithoutTerminatorAreStoredAsTheyLoad) {
  Use(Machine::Demo());
  Profile p = OfficeProfile();
  for (NebrinChar& c : p.env.ProfileName) c = u'N';
  for (NebrinChar& c : p.adapters[1].ConnectionName) c = u'C';
  for (NebrinChar& c : p.adapters[1].GatewayList) c = u'9';
  Put(p.adapters[1].Metric, "20");
  ASSERT_EQ(SaveNew(p), 1);
  EXPECT_EQ(Value(ProfilePath(0), "ProfileName"), std::string(49, 'N'));
  EXPECT_EQ(Value(AdapterPath(0, 1), "ConnectionName"), std::string(49, 'C'));
  EXPECT_EQ(Value(AdapterPath(0, 1), "GatewayList"), std::string(49, '9'));
  Profile loaded;
  CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
  ASSERT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
  EXPECT_EQ(Text(loaded.env.ProfileName), std::string(49, 'N'));

  // Renaming and the lease refresh store the same way.
  p.env.nProfileKey = 0;
  ASSERT_EQ(manage.SaveNameOrPrinter(&p.env), 1);
  for (NebrinChar& c : p.adapters[0].SecondaryDnsServer) c = u'8';
  machine().SetString(nebrin::sim::kHklm, nebrin::sim::TcpipInterfaceKey(kWiredGuid),
                      "DhcpNameServer", "192.168.1.1");
  ASSERT_EQ(manage.GetDHCPIP(0, 0, p.adapters), 1);
  EXPECT_EQ(Value(AdapterPath(0, 0), "SecondaryDnsServer"), std::string(49, '8'));
  EXPECT_EQ(retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters), 1);
}

}  // namespace
