// The sharing members compare adapter GUIDs exactly: a profile that holds its public or private
// GUID in lower case, while the system writes the same GUID in upper case, names no connection
// and no adapter of this machine.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "NebrinCoreDll.h"
#include "sharing/sharing_machines.h"

namespace nebrin::testing {
namespace {

using sim::SharingRole;

template <std::size_t N>
void LowerCase(NebrinChar (&field)[N]) {
  std::string text = Text(field);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  Put(field, text);
}

// Switches sharing on with the profile's GUIDs as stored: the wireless card takes 192.168.0.1.
void ShareConnections(const Profile& profile) {
  Profile copy = profile;
  ASSERT_EQ(CNetInfoManage().ICSServerSetup(&copy.env, copy.adapters, 1), 16);
}

class GuidCaseTest : public SimTest {};

TEST_F(GuidCaseTest, AnotherCaseNamesNothing) {
  struct Case {
    const char* member;
    int role;         // the stored profile: 1 a sharing host, 2 a client
    bool publicGuid;  // which GUID is lowered: the public or the private one
    std::function<void(sim::Machine&, const Profile&)> prepare;
    std::function<int(Profile&)> call;
    int result;
    std::function<void(sim::Machine&, const Profile&)> check;
  };
  const auto nothing = [](sim::Machine&, const Profile&) {};
  const Case cases[] = {
      {"ICSServerSetup", 1, true, nothing,
       [](Profile& p) { return CNetInfoManage().ICSServerSetup(&p.env, p.adapters, 1); }, 17,
       [](sim::Machine& m, const Profile&) {
         EXPECT_EQ(m.network_connections()[0].sharing, SharingRole::None);
         EXPECT_EQ(m.network_connections()[1].sharing, SharingRole::Private);
       }},
      {"SetICF", 1, true, nothing, [](Profile& p) { return CNetInfoManage().SetICF(&p.env); }, 1,
       [](sim::Machine& m, const Profile&) { EXPECT_FALSE(m.network_connections()[0].firewall); }},
      // The private adapter is not recognised: it gets its fixed block like any other.
      {"ServerIPSet", 1, false, nothing,
       [](Profile& p) { return CNetInfoManage().ServerIPSet(&p.env, p.adapters); }, 16,
       [](sim::Machine& m, const Profile&) {
         EXPECT_NE(ScriptBytes(m).find("\"Wireless Network Connection 1\" source = static"),
                   std::string::npos);
       }},
      // No entry is the private adapter: no adapter lines, and the box tells the user.
      {"ICSClientSetup", 2, false, nothing,
       [](Profile& p) { return CNetInfoManage().ICSClientSetup(&p.env, p.adapters); }, 19,
       [](sim::Machine& m, const Profile&) {
         EXPECT_EQ(ScriptBytes(m).find("Wireless"), std::string::npos);
         EXPECT_EQ(m.messages_shown().size(), 1u);
       }},
      // The wireless card is compared as an adapter of its own: its sharing address differs from
      // the profile, and its entry is not rewritten.
      {"CheckServerIPChange", 1, false,
       [](sim::Machine&, const Profile& p) { ShareConnections(p); },
       [](Profile& p) { return CNetInfoManage().CheckServerIPChange(&p.env, p.adapters); }, 1,
       [](sim::Machine&, const Profile& p) {
         EXPECT_EQ(Text(p.adapters[1].IpAddressList), "10.0.0.5");
       }},
      {"CheckClientIPChange", 2, false,
       [](sim::Machine& m, const Profile&) {
         m.SetDword(sim::kHklm, sim::TcpipInterfaceKey(kWirelessGuid), "EnableDHCP", 1);
       },
       [](Profile& p) { return CNetInfoManage().CheckClientIPChange(&p.env, p.adapters); }, 0,
       [](sim::Machine& m, const Profile&) { EXPECT_EQ(m.messages_shown().size(), 1u); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    Use(SharingMachine());
    Profile p = StoreSharingProfile(c.role);
    p.env.bICFFlag = 1;
    c.prepare(machine(), p);
    if (c.publicGuid) {
      LowerCase(p.env.strPublicDevGUID);
    } else {
      LowerCase(p.env.strPrivateDevGUID);
    }
    EXPECT_EQ(c.call(p), c.result);
    c.check(machine(), p);
  }
}

}  // namespace
}  // namespace nebrin::testing
