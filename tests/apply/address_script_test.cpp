// The address script: exact bytes of every block, the conditions of the static lines, the code
// page of the adapter lines, and the refusal of texts that would change the script's meaning.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "apply/apply_machines.h"
#include "frame/record_text.h"
#include "nebrin/platform_install.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

const std::string kOpening = "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n";

class AddressScriptTest : public SimTest {
 protected:
  std::string Script() { return ScriptBytes(machine()); }

  // A static adapter with the given fields; unnamed fields stay empty.
  static AdapterInfoStr Static(const std::string& gateway, const std::string& metric,
                               const std::string& dns1, const std::string& dns2,
                               const std::string& wins1, const std::string& wins2) {
    AdapterInfoStr a{};
    Put(a.DhcpEnabled, "no");
    Put(a.ConnectionName, "LAN");
    Put(a.IpAddressList, "10.1.2.3");
    Put(a.SubnetMask, "255.255.0.0");
    Put(a.GatewayList, gateway);
    Put(a.Metric, metric);
    Put(a.PrimaryDnsServer, dns1);
    Put(a.SecondaryDnsServer, dns2);
    Put(a.PrimaryWinsServer, wins1);
    Put(a.SecondaryWinsServer, wins2);
    return a;
  }

  std::string StaticBlock(AdapterInfoStr adapter) {
    CNetInfoManage manage;
    EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 1);
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    adapters[0] = adapter;
    EXPECT_EQ(manage.MakeStaticPartInIPTxt(nullptr, adapters, 0), 1);
    return Script().substr(kOpening.size());
  }
};

TEST_F(AddressScriptTest, WholeScriptHasTheExactBytes) {
  CNetInfoManage manage;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  Put(adapters[0].ConnectionName, "Local Area Connection");
  Put(adapters[0].IpAddressList, "1.2.3.4");  // a DHCP block reads no address field
  adapters[1] = Static("10.1.0.1", "20", "10.1.0.2", "10.1.0.3", "10.1.0.4", "10.1.0.5");
  EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  EXPECT_EQ(Script().size(), 54u);
  EXPECT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 1);
  EXPECT_EQ(manage.MakeStaticPartInIPTxt(nullptr, adapters, 1), 1);
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 1);
  EXPECT_EQ(Script(),
            kOpening +
                "set address name=\"Local Area Connection\" source=dhcp\r\n"
                "set dns name=\"Local Area Connection\" source=dhcp\r\n"
                "set wins name=\"Local Area Connection\" source=dhcp\r\n"
                "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.0.0\r\n"
                "set address name = \"LAN\" gateway = 10.1.0.1 gwmetric = 20\r\n"
                "set dns name = \"LAN\" source = static addr = 10.1.0.2\r\n"
                "add dns name = \"LAN\" addr = 10.1.0.3\r\n"
                "set wins name = \"LAN\" source = static addr = 10.1.0.4\r\n"
                "add wins name = \"LAN\" addr = 10.1.0.5\r\n"
                "popd\r\n");
  // Starting again empties the file down to the opening block.
  EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  EXPECT_EQ(Script(), kOpening);
}

TEST_F(AddressScriptTest, StaticLinesFollowTheirOwnConditions) {
  const std::string first =
      "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.0.0\r\n";
  struct Case {
    const char* what;
    AdapterInfoStr adapter;
    std::string lines;
  };
  const std::vector<Case> cases = {
      {"nothing set", Static("", "", "", "", "", ""), first},
      {"all 0.0.0.0", Static("0.0.0.0", "5", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"), first},
      {"secondary DNS only", Static("", "", "", "10.9.9.9", "", ""),
       first + "add dns name = \"LAN\" addr = 10.9.9.9\r\n"},
      {"secondary WINS only", Static("", "", "0.0.0.0", "", "", "10.8.8.8"),
       first + "add wins name = \"LAN\" addr = 10.8.8.8\r\n"},
      {"gateway with an empty metric", Static("10.1.0.1", "", "", "", "", ""),
       first + "set address name = \"LAN\" gateway = 10.1.0.1 gwmetric = \r\n"},
      {"0.0.0.0 compared exactly", Static("0.0.0.00", "1", "", "", "", ""),
       first + "set address name = \"LAN\" gateway = 0.0.0.00 gwmetric = 1\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StaticBlock(c.adapter), c.lines) << c.what;
  }
  // Empty address and mask are written all the same.
  AdapterInfoStr bare = Static("", "", "", "", "", "");
  Put(bare.IpAddressList, "");
  Put(bare.SubnetMask, "");
  EXPECT_EQ(StaticBlock(bare), "set address name = \"LAN\" source = static addr =  mask = \r\n");
}

TEST_F(AddressScriptTest, AdapterLinesUseTheOemCodePageWhereTheShellReadsIt) {
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  const char16_t name[] = u"Po\u0142\u0105czenie";  // "Połączenie"
  for (std::size_t i = 0; name[i] != 0; ++i) adapters[0].ConnectionName[i] = name[i];
  machine().system_state().ansiCodePage = 1250;
  machine().system_state().oemCodePage = 852;

  auto write = [&] {
    CNetInfoManage manage;
    EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 1);
    EXPECT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 1);
    EXPECT_EQ(manage.MakeEndPartInIPTxt(), 1);
    return Script();
  };
  auto expected = [&](const std::string& encoded) {
    const std::string q = "\"Po" + encoded + "czenie\"";
    return kOpening + "set address name=" + q + " source=dhcp\r\nset dns name=" + q +
           " source=dhcp\r\nset wins name=" + q + " source=dhcp\r\npopd\r\n";
  };
  EXPECT_EQ(write(), expected("\x88\xA5"));  // NT 5.1 with OEM code page 852
  machine().system_state().version.minor = 2;
  EXPECT_EQ(write(), expected("\xB3\xB9"));  // 5.2: the ANSI code page 1250
}

TEST_F(AddressScriptTest, AppendingNeedsAnExistingScript) {
  CNetInfoManage manage;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  adapters[0] = Static("", "", "", "", "", "");
  EXPECT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 0);
  EXPECT_EQ(manage.MakeStaticPartInIPTxt(nullptr, adapters, 0), 0);
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 0);
  EXPECT_TRUE(machine().file_state().files.empty());
}

TEST_F(AddressScriptTest, ScriptHeldByAnotherWriterIsNotWritten) {
  CNetInfoManage manage;
  ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  platform::FileHandle held = platform::kNoFile;
  ASSERT_EQ(machine().files().OpenFile(u"ip.txt", platform::Disposition::OpenExisting, held),
            platform::kSuccess);
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 0);
  EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 0);
  machine().files().CloseFile(held);
  EXPECT_EQ(Script(), kOpening);
}

TEST_F(AddressScriptTest, TextsThatWouldChangeTheScriptWriteNothing) {
  struct Case {
    const char* what;
    void (*spoil)(AdapterInfoStr&);
    bool dhcp;
  };
  const std::vector<Case> cases = {
      {"quote in the name (DHCP)",
       [](AdapterInfoStr& a) { Put(a.ConnectionName, "LAN\" source=static addr=6.6.6.6"); }, true},
      {"quote in the name (static)", [](AdapterInfoStr& a) { Put(a.ConnectionName, "A\"B"); },
       false},
      {"line break in the name", [](AdapterInfoStr& a) { Put(a.ConnectionName, "LAN\r\nreset"); },
       true},
      {"line feed in the address",
       [](AdapterInfoStr& a) { Put(a.IpAddressList, "10.1.2.3\ndelete arpcache"); }, false},
      {"control character in the mask", [](AdapterInfoStr& a) { Put(a.SubnetMask, "255.0\t"); },
       false},
      {"line break in the metric", [](AdapterInfoStr& a) { Put(a.Metric, "1\r\nx"); }, false},
      {"line break in the secondary WINS",
       [](AdapterInfoStr& a) { Put(a.SecondaryWinsServer, "1.1.1.1\r"); }, false},
  };
  for (const auto& c : cases) {
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    adapters[0] = Static("10.1.0.1", "20", "10.1.0.2", "", "", "");
    c.spoil(adapters[0]);
    CNetInfoManage manage;
    ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
    EXPECT_EQ(c.dhcp ? manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0)
                     : manage.MakeStaticPartInIPTxt(nullptr, adapters, 0),
              0)
        << c.what;
    EXPECT_EQ(Script(), kOpening) << c.what;
  }
  // An unset field is never inserted, so what it holds does not matter.
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  adapters[0] = Static("", "\r\n", "", "", "", "");
  EXPECT_EQ(StaticBlock(adapters[0]),
            "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.0.0\r\n");
}

// What counts is the text the shell reads: characters that are harmless in UTF-16 but become a
// quote or a line break in the script's code page (the system's best-fit conversion) are refused
// as well.
TEST_F(AddressScriptTest, TextsThatBecomeQuotesOrLineBreaksInTheCodePageWriteNothing) {
  struct Case {
    const char* what;
    std::uint32_t oemCodePage;  // 852: the adapter lines are in the OEM code page
    bool dhcp;
    std::u16string name;
    std::u16string gateway;
    bool written;
  };
  const std::vector<Case> cases = {
      {"look-alike quote in the name", 437, true, u"LAN\uFF02 source=static addr=6.6.6.6",
       u"10.1.0.1", false},
      {"look-alike quote in the name, OEM page", 852, false, u"LAN\uFF02", u"10.1.0.1", false},
      {"OEM glyph of CR in the name", 852, true, u"LAN\u266Areset", u"10.1.0.1", false},
      {"OEM glyph of LF in the gateway", 852, false, u"LAN", u"10.1.0.1\u25D9delete arpcache",
       false},
      {"the same glyph on the ANSI page is a '?'", 437, true, u"LAN\u266A", u"10.1.0.1", true},
  };
  for (const auto& c : cases) {
    machine().system_state().oemCodePage = c.oemCodePage;
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    adapters[0] = Static("", "20", "", "", "", "");
    frame::SetField(adapters[0].ConnectionName, c.name);
    frame::SetField(adapters[0].GatewayList, c.gateway);
    CNetInfoManage manage;
    ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
    EXPECT_EQ(c.dhcp ? manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0)
                     : manage.MakeStaticPartInIPTxt(nullptr, adapters, 0),
              c.written ? 1 : 0)
        << c.what;
    if (!c.written) {
      EXPECT_EQ(Script(), kOpening) << c.what;
    }
  }
  EXPECT_EQ(Script(), kOpening +
                          "set address name=\"LAN?\" source=dhcp\r\n"
                          "set dns name=\"LAN?\" source=dhcp\r\n"
                          "set wins name=\"LAN?\" source=dhcp\r\n");
}

// A text ending in the first half of a surrogate pair, without its second: the shell reads a '?'
// for it, and the quote or line end after it stays where the writer put it.
TEST_F(AddressScriptTest, AHalfSurrogateAtTheEndOfATextKeepsWhatFollowsIt) {
  CNetInfoManage manage;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  frame::SetField(adapters[0].ConnectionName, std::u16string(u"LAN\xD800"));
  ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  ASSERT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 1);
  EXPECT_EQ(Script(), kOpening +
                          "set address name=\"LAN?\" source=dhcp\r\n"
                          "set dns name=\"LAN?\" source=dhcp\r\n"
                          "set wins name=\"LAN?\" source=dhcp\r\n");
  AdapterInfoStr adapter = Static("10.1.0.1", "20", "", "", "", "");
  frame::SetField(adapter.SubnetMask, std::u16string(u"255.255.0.0\xDBFF"));
  EXPECT_EQ(StaticBlock(adapter),
            "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.0.0?\r\n"
            "set address name = \"LAN\" gateway = 10.1.0.1 gwmetric = 20\r\n");
}

}  // namespace
}  // namespace nebrin::testing

namespace nebrin::testing {
namespace {

// Without a host-installed platform the script is a real file in the working directory.
TEST(NativeScriptTest, WritersUseARealFileInTheWorkingDirectory) {
  InstallPlatform(nullptr);
  const auto previous = std::filesystem::current_path();
  const auto directory = std::filesystem::temp_directory_path() /
                         ("nebrin-script-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  std::filesystem::current_path(directory);
  CNetInfoManage manage;
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 0);
  EXPECT_FALSE(std::filesystem::exists("ip.txt"));
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
  Put(adapters[0].ConnectionName, "LAN");
  EXPECT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  EXPECT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 1);
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 1);
  std::ifstream in("ip.txt", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, kOpening +
                       "set address name=\"LAN\" source=dhcp\r\nset dns name=\"LAN\" "
                       "source=dhcp\r\nset wins name=\"LAN\" source=dhcp\r\npopd\r\n");
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace nebrin::testing
