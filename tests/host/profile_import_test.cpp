// Export and import between stores: the round trip, matching adapters on another machine, and
// names that are taken.
#include <gtest/gtest.h>

#include <string>

#include "host/profile_file_fixture.h"
#include "profile_file.h"
#include "store_scan.h"
#include "support/sim_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::host::ImportOptions;
using nebrin::host::ProfileFileJson;
using nebrin::host::Refusal;

const std::string kDemoWired = "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}";
const std::string kDemoWireless = "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";

std::string RefusalOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const Refusal& e) {
    return e.what();
  }
  return "(no refusal)";
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const NameIndex& e : nebrin::host::ListProfiles()) names.push_back(Text(e.ProfileName));
  return names;
}

class ProfileImportTest : public SimTest {};

TEST_F(ProfileImportTest, RoundTripLoadsEveryFieldBackAndTheKeyOnlyWithSecrets) {
  for (const bool secrets : {false, true}) {
    SCOPED_TRACE(secrets ? "with secrets" : "without secrets");
    Use(MachineWithProfiles());
    const auto before = LoadAll();
    const std::string file = ExportAll(secrets);
    EXPECT_EQ(file.find("s3cret-key") != std::string::npos, secrets);
    CNetInfoManage().DeleteNebrinKey();  // nebrin forget
    ASSERT_EQ(CNetInfoRetrieve().GetProfileCount(), 0);

    const auto report = Import(file);
    ASSERT_EQ(report.profiles.size(), 3u);
    EXPECT_EQ(report.profiles[1].keyTextLeftOut, !secrets);  // "Cafe host" uses a WEP key
    EXPECT_FALSE(report.profiles[0].keyTextLeftOut);
    const auto after = LoadAll();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
      auto expected = ProfileFileJson({before[i]}, true);
      if (!secrets) expected["profiles"][0]["strWLANPassWord"] = "";
      EXPECT_EQ(ProfileFileJson({after[i]}, true).dump(2), expected.dump(2));
    }
  }
}

TEST_F(ProfileImportTest, AnotherMachinesAdaptersAreMatchedByConnectionName) {
  Use(MachineWithProfiles());
  const std::string file = ExportAll(true);
  Use(OtherMachine("Local Area Connection", "Wireless Network Connection"));

  const auto report = Import(file);
  EXPECT_EQ(report.adapterNotes.size(), 5u + 3u);  // five adapters, three sharing GUIDs
  const auto loaded = LoadAll();
  ASSERT_EQ(loaded.size(), 3u);
  const auto& office = loaded[0];
  EXPECT_EQ(Text(office.adapters[0].AdapterName), kOtherWiredGuid);
  EXPECT_EQ(Text(office.adapters[1].AdapterName), kOtherWirelessGuid);
  EXPECT_EQ(Text(office.adapters[1].DeviceDesc), "Mini PCI Wireless");
  // The addresses are the file's; the wired adapter's come from this machine's lease.
  EXPECT_EQ(Text(office.adapters[1].IpAddressList), "10.0.0.5");
  EXPECT_EQ(Text(office.adapters[1].Metric), "20");
  EXPECT_EQ(Text(office.adapters[0].IpAddressList), "172.16.0.20");
  EXPECT_EQ(Text(loaded[1].env.strPublicDevGUID), kOtherWiredGuid);
  EXPECT_EQ(Text(loaded[1].env.strPrivateDevGUID), kOtherWirelessGuid);
  EXPECT_EQ(Text(loaded[2].env.strPrivateDevGUID), kOtherWirelessGuid);
  EXPECT_EQ(Text(loaded[2].adapters[0].AdapterName), kOtherWirelessGuid);
}

TEST_F(ProfileImportTest, UnmatchedAdaptersAreRefusedWithTheListAndMappedWithMap) {
  Use(MachineWithProfiles());
  const std::string file = ExportAll(true);
  Use(OtherMachine("LAN", "WLAN"));
  const std::string before = machine().ToJsonText();

  const std::string refusal = RefusalOf([&] { Import(file); });
  EXPECT_NE(refusal.find("the 1st profile (\"Office\"), adapter 0: this machine has no adapter " +
                         kDemoWired + " and none named \"Local Area Connection\""),
            std::string::npos)
      << refusal;
  EXPECT_NE(refusal.find("0  \"LAN\" " + kOtherWiredGuid), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("1  \"WLAN\" " + kOtherWirelessGuid), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("--map " + kDemoWired + "=INDEX"), std::string::npos) << refusal;
  EXPECT_EQ(FirstDifference(before, machine().ToJsonText()), "");

  // Crossed on purpose: the file's wired settings go to the wireless adapter and back. The
  // host's private wireless network would then be made on the wired adapter: refused, until
  // the file no longer asks for it.
  ImportOptions options;
  options.maps = {{kDemoWired, 1}, {kDemoWireless, 0}};
  EXPECT_NE(RefusalOf([&] { Import(file, options); })
                .find("the 2nd profile (\"Cafe host\"): \"bPrivateWlan\" is 1, but the private "
                      "adapter (LAN) is not a wireless adapter"),
            std::string::npos);
  EXPECT_EQ(FirstDifference(before, machine().ToJsonText()), "");
  nlohmann::json plain = nlohmann::json::parse(file);
  plain["profiles"][1]["bPrivateWlan"] = 0;
  Import(plain.dump(), options);
  const auto loaded = LoadAll();
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(Text(loaded[0].adapters[0].AdapterName), kOtherWirelessGuid);
  EXPECT_EQ(Text(loaded[0].adapters[0].ConnectionName), "WLAN");
  EXPECT_EQ(Text(loaded[0].adapters[1].AdapterName), kOtherWiredGuid);
  EXPECT_EQ(Text(loaded[0].adapters[1].ConnectionName), "LAN");
  EXPECT_EQ(Text(loaded[0].adapters[1].IpAddressList), "10.0.0.5");
  EXPECT_EQ(Text(loaded[1].env.strPublicDevGUID), kOtherWirelessGuid);
  EXPECT_EQ(Text(loaded[1].env.strPrivateDevGUID), kOtherWiredGuid);
}

TEST_F(ProfileImportTest, TakenNamesAreRefusedOrWithRenameNumbered) {
  Use(MachineWithProfiles());
  const std::string file = ExportAll(true);
  const std::string before = machine().ToJsonText();
  EXPECT_EQ(RefusalOf([&] { Import(file); }),
            "the 1st profile (\"Office\"): a profile named \"Office\" already exists; --rename "
            "stores it as \"Office (2)\"");
  EXPECT_EQ(FirstDifference(before, machine().ToJsonText()), "");

  ImportOptions rename;
  rename.rename = true;
  const auto report = Import(file, rename);
  EXPECT_EQ(report.profiles[0].name, "Office (2)");
  EXPECT_EQ(report.profiles[0].nameInFile, "Office");
  EXPECT_EQ(report.profiles[0].number, 3);
  Import(file, rename);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Office", "Cafe host", "Client", "Office (2)",
                                               "Cafe host (2)", "Client (2)", "Office (3)",
                                               "Cafe host (3)", "Client (3)"}));
}

TEST_F(ProfileImportTest, NamesRepeatedInTheFileAndLongNamesStayWithinTheField) {
  Use(MachineWithProfiles());
  auto doc = nlohmann::json::parse(ExportAll(true));
  const std::string longName(49, 'x');
  doc["profiles"][0]["ProfileName"] = longName;
  doc["profiles"][1]["ProfileName"] = longName;
  doc["profiles"].erase(2);
  const std::string before = machine().ToJsonText();
  EXPECT_EQ(RefusalOf([&] { Import(doc.dump()); }),
            "the 2nd profile (\"" + longName +
                "\"): an earlier profile of the file has the same "
                "name; --rename stores it as \"" +
                std::string(45, 'x') + " (2)\"");
  EXPECT_EQ(FirstDifference(before, machine().ToJsonText()), "");

  ImportOptions rename;
  rename.rename = true;
  Import(doc.dump(), rename);
  const auto names = Names();
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[3], longName);
  EXPECT_EQ(names[4], std::string(45, 'x') + " (2)");
}


// The journal hears of each number before the store takes it, so a kill at any write leaves a
// journal naming every profile the import may have stored; a journal that cannot be written
// stops the import and undoes it.
TEST_F(ProfileImportTest, TheJournalNamesEachNumberBeforeItIsStored) {
  Use(MachineWithProfiles());
  const std::string file = ExportAll(true);
  struct Call {
    std::vector<int> stored;
    int storing;
    bool keyThere;
  };
  std::vector<Call> calls;
  ImportOptions options;
  options.rename = true;
  options.record = [&](const std::vector<std::u16string>& names, const std::vector<int>& stored,
                       int storing) {
    EXPECT_EQ(names.size(), 3u);
    calls.push_back({stored, storing, storing >= 0 && nebrin::host::ProfileKeyExists(storing)});
  };
  const auto report = Import(file, options);
  ASSERT_EQ(calls.size(), 3u);
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(calls[i].storing, report.profiles[i].number);
    EXPECT_FALSE(calls[i].keyThere);
    std::vector<int> before;
    for (std::size_t j = 0; j < i; ++j) before.push_back(report.profiles[j].number);
    EXPECT_EQ(calls[i].stored, before);
  }

  int heard = 0;
  options.record = [&](const std::vector<std::u16string>&, const std::vector<int>&, int) {
    if (++heard == 2) throw std::runtime_error("journal.json: cannot write (disk full)");
  };
  const std::string refusal = RefusalOf([&] { Import(file, options); });
  EXPECT_NE(refusal.find("journal.json: cannot write (disk full), so the import was undone"),
            std::string::npos)
      << refusal;
  EXPECT_EQ(Names().size(), 6u);
  heard = 1;  // the first record fails: nothing was written at all
  EXPECT_EQ(RefusalOf([&] { Import(file, options); }),
            "journal.json: cannot write (disk full); nothing was imported");
  EXPECT_EQ(Names().size(), 6u);
}

}  // namespace
