// The copy of the profile the host applied last: it reads back with its number and its key
// text, it tells a changed stored profile from a new lease, and a damaged copy is refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "applied_profile.h"
#include "host/profile_file_fixture.h"
#include "support/sim_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::host::HostProfile;
using nebrin::host::KeepAppliedProfile;
using nebrin::host::ReadAppliedProfile;
using nebrin::host::Refusal;
using nebrin::host::SameAsApplied;
namespace fs = std::filesystem;

class AppliedProfileTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(MachineWithProfiles());
    dir_ = fs::temp_directory_path() / ("nebrin-applied-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    file_ = dir_ / "state" / "m.applied-profile.json";
  }
  void TearDown() override {
    fs::remove_all(dir_);
    SimTest::TearDown();
  }
  fs::path dir_;
  fs::path file_;
};

// The host profile (number 1) has a WEP key; its copy keeps number and key, and keeping a new
// copy replaces the old one whole.
TEST_F(AppliedProfileTest, KeptAndReadBackWithItsNumberAndKey) {
  EXPECT_FALSE(ReadAppliedProfile(file_).has_value());
  const std::vector<HostProfile> stored = LoadAll();
  KeepAppliedProfile(file_, stored[1]);
  const auto copy = ReadAppliedProfile(file_);
  ASSERT_TRUE(copy.has_value());
  EXPECT_EQ(copy->profile.env.nProfileKey, 1);
  EXPECT_EQ(Text(copy->profile.env.strWLANPassWord), Text(stored[1].env.strWLANPassWord));
  EXPECT_FALSE(Text(copy->profile.env.strWLANPassWord).empty());
  EXPECT_TRUE(SameAsApplied(copy->profile, stored[1]));
  EXPECT_TRUE(copy->complete);
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // A set-up that did not complete reads back so, with the same profile.
  KeepAppliedProfile(file_, stored[1], false);
  EXPECT_FALSE(ReadAppliedProfile(file_)->complete);
  EXPECT_TRUE(SameAsApplied(ReadAppliedProfile(file_)->profile, stored[1]));

  KeepAppliedProfile(file_, stored[2]);
  EXPECT_EQ(ReadAppliedProfile(file_)->profile.env.nProfileKey, 2);
  EXPECT_TRUE(ReadAppliedProfile(file_)->complete);
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(file_.parent_path()), {}),
            std::vector<fs::path>{file_});
}

// A DHCP adapter's addresses are its lease's: a new lease is no change; anything else is.
TEST_F(AppliedProfileTest, ALeaseIsNoChangeAnythingElseIs) {
  const HostProfile office = LoadAll()[0];
  ASSERT_EQ(Text(office.adapters[0].DhcpEnabled), "yes");
  ASSERT_EQ(Text(office.adapters[1].DhcpEnabled), "no");
  struct Case {
    const char* what;
    void (*change)(HostProfile&);
    bool same;
  };
  const Case cases[] = {
      {"a DHCP adapter's new lease",
       [](HostProfile& p) {
         Put(p.adapters[0].IpAddressList, "192.168.1.77");
         Put(p.adapters[0].GatewayList, "192.168.1.254");
         Put(p.adapters[0].PrimaryDnsServer, "192.168.1.253");
       },
       true},
      {"a static adapter's address",
       [](HostProfile& p) { Put(p.adapters[1].IpAddressList, "10.0.0.77"); }, false},
      {"a DHCP adapter made static", [](HostProfile& p) { Put(p.adapters[0].DhcpEnabled, "no"); },
       false},
      {"the sharing role", [](HostProfile& p) { p.env.nICSFlag = 1; }, false},
      {"the private adapter",
       [](HostProfile& p) { Put(p.env.strPrivateDevGUID, kOtherWirelessGuid); }, false},
      {"the wireless key text", [](HostProfile& p) { Put(p.env.strWLANPassWord, "54321"); }, false},
      {"the name", [](HostProfile& p) { Put(p.env.ProfileName, "Office 2"); }, false},
      {"another number", [](HostProfile& p) { p.env.nProfileKey = 7; }, false},
  };
  for (const Case& c : cases) {
    HostProfile stored = office;
    c.change(stored);
    EXPECT_EQ(SameAsApplied(office, stored), c.same) << c.what;
  }
}

TEST_F(AppliedProfileTest, ADamagedCopyIsRefusedByName) {
  const std::vector<HostProfile> stored = LoadAll();
  struct Case {
    const char* what;
    std::string text;
    const char* problem;
  };
  const Case cases[] = {
      {"cut off", "{\"format\": \"nebrin-profiles\"", "is damaged: it is not a JSON document"},
      {"two profiles", "", "holds 2 profiles instead of one"},
      {"a bad address", "",
       "is damaged: the 1st profile (\"Office\"), adapter 1: \"IpAddressList\""},
      {"an incomplete mark that is not true", "", "is damaged: \"setUpIncomplete\" must be true"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    if (std::string(c.what) == "two profiles") {
      text = nebrin::host::ProfileFileJson({stored[0], stored[1]}, true).dump();
    } else if (std::string(c.what) == "a bad address") {
      HostProfile bad = stored[0];
      Put(bad.adapters[1].IpAddressList, "10.0.0");
      text = nebrin::host::ProfileFileJson({bad}, true).dump();
    } else if (std::string(c.what) == "an incomplete mark that is not true") {
      auto doc = nebrin::host::ProfileFileJson({stored[0]}, true);
      doc["setUpIncomplete"] = false;
      text = doc.dump();
    }
    fs::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary) << text;
    try {
      ReadAppliedProfile(file_);
      ADD_FAILURE() << c.what << ": read";
    } catch (const Refusal& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(file_.string() + " (the copy of the profile applied last) "),
                std::string::npos)
          << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << c.what << ": " << message;
      EXPECT_NE(message.find("--from none"), std::string::npos) << message;
    }
  }
}

}  // namespace
