// The simulated network shell against scripts written straight into the working directory: it
// answers as the real shell does where a command changes nothing, and reads its script in its
// code page only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apply/apply_machines.h"
#include "platform/process_handle.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

class NetworkShellTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    Use(TwoAdapterMachine());
  }
  // Runs "netsh -f ip.txt" on `script` (bytes) and returns what the shell printed.
  std::vector<std::string> Run(const std::string& script) {
    auto& state = machine().process_state();
    state.shellOutput.clear();
    machine().file_state().files[state.currentDirectory + "\\ip.txt"] = script;
    platform::Processes& processes = machine().processes();
    platform::ProcessHandle process = platform::kNoProcess;
    platform::ProcessHandle thread = platform::kNoProcess;
    EXPECT_EQ(processes.StartProcess(u"C:\\WINDOWS\\system32\\netsh.exe", u"netsh -f ip.txt",
                                     platform::kSwHide, process, thread),
              platform::kSuccess);
    platform::UniqueProcessHandle ownedProcess(processes, process);
    platform::UniqueProcessHandle ownedThread(processes, thread);
    return state.shellOutput;
  }
  std::string Interface(const sim::AdapterSpec& spec) {
    return sim::TcpipInterfaceKey(spec.listed.guid);
  }
  // Everything the shell's commands change: both adapters' interface values and WINS servers.
  std::string Settings() {
    std::string all;
    for (const auto& spec : {WiredDhcp(1), WirelessStatic(1)}) {
      for (const auto& name : machine().ValueNames(sim::kHklm, Interface(spec))) {
        const auto value = machine().GetValue(sim::kHklm, Interface(spec), name);
        all += name + "=" + std::string(value->bytes.begin(), value->bytes.end()) + ";";
      }
    }
    for (const auto& listed : machine().listed_adapters()) {
      all += listed.primaryWins + "," + listed.secondaryWins + ";";
    }
    return all;
  }
};

const std::string kContext = "pushd interface ip\r\n";

TEST_F(NetworkShellTest, CommandsThatChangeNothingAreAnsweredAsTheShellAnswersThem) {
  const std::string wired = WiredDhcp(1).connectionName;
  const std::string wireless = WirelessStatic(1).connectionName;
  struct Case {
    std::string line;
    std::string answer;  // empty: applied without a word
  };
  const Case cases[] = {
      {"set address name=\"" + wired + "\" source=dhcp",
       "DHCP is already enabled on this interface."},
      {"add dns name = \"" + wireless + "\" addr = 10.0.0.2", "The object is already in the list."},
      {"add dns name = \"" + wireless + "\" addr = 10.0.0.1", "The object is already in the list."},
      {"add wins name = \"" + wired + "\" addr = 192.168.7.5",
       "The object is already in the list."},
      {"add dns name = \"" + wireless + "\" addr = 10.0.0.3", ""},
      {"set address name=\"" + wireless + "\" source=dhcp", ""},
  };
  for (const Case& c : cases) {
    Use(TwoAdapterMachine());
    const std::string before = Settings();
    const auto output = Run(kContext + c.line + "\r\npopd\r\n");
    if (c.answer.empty()) {
      EXPECT_TRUE(output.empty()) << c.line;
      EXPECT_NE(Settings(), before) << c.line;
    } else {
      EXPECT_EQ(output, std::vector<std::string>{c.answer}) << c.line;
      EXPECT_EQ(Settings(), before) << c.line << ": changed nothing";
    }
  }
}

// A limited user's shell refuses every command that would change an interface, and changes
// nothing; a line it could not apply anyway still says why.
TEST_F(NetworkShellTest, ALimitedUserChangesNothing) {
  const std::string wired = WiredDhcp(1).connectionName;
  const std::string wireless = WirelessStatic(1).connectionName;
  const std::string denied = "Access is denied.";
  struct Case {
    std::string line;
    std::string answer;
  };
  const Case cases[] = {
      {"set address name=\"" + wireless + "\" source=dhcp", denied},
      {"set address name=\"" + wired + "\" source=static addr=192.168.7.9 mask=255.255.255.0",
       denied},
      {"set dns name=\"" + wired + "\" source=static addr=10.1.1.1 register=primary", denied},
      {"add dns name = \"" + wireless + "\" addr = 10.0.0.3", denied},
      {"add wins name = \"" + wired + "\" addr = 192.168.7.6", denied},
      {"set address name=\"Nowhere\" source=dhcp", "The interface \"Nowhere\" was not found."},
  };
  for (const Case& c : cases) {
    Use(TwoAdapterMachine());
    machine().system_state().administrator = false;
    const std::string before = Settings();
    EXPECT_EQ(Run(kContext + c.line + "\r\npopd\r\n"), std::vector<std::string>{c.answer})
        << c.line;
    EXPECT_EQ(Settings(), before) << c.line;
  }
  EXPECT_EQ(Run("pushd interface\r\nreset all\r\npopd\r\n"), std::vector<std::string>{denied});
}

// A script in another encoding than the shell's code page is read as what its bytes are in that
// page: a UTF-8 name does not find its connection.
TEST_F(NetworkShellTest, ScriptIsReadInTheShellsCodePageOnly) {
  sim::AdapterSpec spec = WirelessStatic(2);
  spec.connectionName = "\xD1\x81\xD0\xB5\xD1\x82\xD1\x8C";  // "сеть" (0x81 is undefined in 1252)
  machine().AddAdapter(spec);
  const auto output = Run(kContext + "set address name = \"" + spec.connectionName +
                          "\" source = static addr = 10.9.9.9 mask = 255.0.0.0\r\npopd\r\n");
  ASSERT_EQ(output.size(), 1u);
  EXPECT_EQ(output[0].rfind("The interface \"", 0), 0u) << output[0];
  EXPECT_EQ(machine().GetValue(sim::kHklm, Interface(spec), "IPAddress")->bytes,
            sim::RegValue::MultiString({"10.0.0.5"}).bytes);
}

}  // namespace
}  // namespace nebrin::testing
