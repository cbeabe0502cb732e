// The address script written through the real file and code-page calls, and the process lookup
// against real processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "NebrinCoreDll.h"
#include "platform/platform.h"
#include "platform/process_handle.h"

namespace nebrin::win32_test {
namespace {

// Runs each test in a fresh directory, as the host's working directory.
class ScriptDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    directory_ = std::wstring(temp) + L"nebrin-script-test";
    CreateDirectoryW(directory_.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, previous_);
    ASSERT_TRUE(SetCurrentDirectoryW(directory_.c_str()));
    DeleteFileW(L"ip.txt");
  }
  void TearDown() override {
    DeleteFileW(L"ip.txt");
    SetCurrentDirectoryW(previous_);
    RemoveDirectoryW(directory_.c_str());
  }
  static std::string Script() {
    std::ifstream in("ip.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::wstring directory_;
  wchar_t previous_[MAX_PATH] = {};
};

template <std::size_t N>
void Put(wchar_t (&field)[N], const wchar_t* text) {
  wcsncpy(field, text, N - 1);
  field[N - 1] = 0;
}

TEST_F(ScriptDirectoryTest, ScriptHasTheExactBytes) {
  CNetInfoManage manage;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS] = {};
  Put(adapters[0].ConnectionName, L"Local Area Connection");
  Put(adapters[1].ConnectionName, L"LAN");
  Put(adapters[1].IpAddressList, L"10.1.2.3");
  Put(adapters[1].SubnetMask, L"255.255.0.0");
  Put(adapters[1].GatewayList, L"10.1.0.1");
  Put(adapters[1].Metric, L"20");
  Put(adapters[1].SecondaryDnsServer, L"10.1.0.3");
  Put(adapters[1].PrimaryWinsServer, L"0.0.0.0");

  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 0);  // no script yet: nothing is created
  EXPECT_EQ(GetFileAttributesW(L"ip.txt"), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  EXPECT_EQ(Script().size(), 54u);
  ASSERT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 1);
  ASSERT_EQ(manage.MakeStaticPartInIPTxt(nullptr, adapters, 1), 1);
  ASSERT_EQ(manage.MakeEndPartInIPTxt(), 1);
  EXPECT_EQ(Script(),
            "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n"
            "set address name=\"Local Area Connection\" source=dhcp\r\n"
            "set dns name=\"Local Area Connection\" source=dhcp\r\n"
            "set wins name=\"Local Area Connection\" source=dhcp\r\n"
            "set address name = \"LAN\" source = static addr = 10.1.2.3 mask = 255.255.0.0\r\n"
            "set address name = \"LAN\" gateway = 10.1.0.1 gwmetric = 20\r\n"
            "add dns name = \"LAN\" addr = 10.1.0.3\r\n"
            "popd\r\n");

  // While another writer holds the script, nothing is appended.
  HANDLE held = CreateFileW(L"ip.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(manage.MakeEndPartInIPTxt(), 0);
  CloseHandle(held);
}

// The system's own conversion turns the look-alike quote U+FF02 into '"' on the Western page;
// a connection name holding it must not reach the script.
TEST_F(ScriptDirectoryTest, NameThatConvertsToAQuoteWritesNothing) {
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western European ANSI page";
  CNetInfoManage manage;
  if (manage.GetOSVer() != 0) GTEST_SKIP() << "expects the adapter lines in the ANSI page";
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS] = {};
  Put(adapters[0].ConnectionName, L"LAN\xFF02 source=static addr=6.6.6.6");
  ASSERT_EQ(manage.MakeInitialPartInIPTxt(), 1);
  EXPECT_EQ(manage.MakeDHCPPartInIPTxt(nullptr, adapters, 0), 0);
  EXPECT_EQ(manage.MakeStaticPartInIPTxt(nullptr, adapters, 0), 0);
  EXPECT_EQ(Script(), "pushd interface\r\nreset all\r\npopd\r\npushd interface ip\r\n");
}

// The add-printer wizard's command runner comes from the system directory: a Rundll32.exe in the
// working directory (a copy of a harmless program) is never started in its place.
TEST_F(ScriptDirectoryTest, WizardRunsTheSystemsCommandRunner) {
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\cmd.exe").c_str(), L"Rundll32.exe", FALSE));
  CNetInfoManage manage;
  wchar_t runner[] = L"rundll32.exe";
  wchar_t planted[] = L"Rundll32.exe";
  EXPECT_EQ(CCommonFtn().RunPrtWizard(), 1);
  int seen = 0;
  for (int attempt = 0; attempt < 50 && seen == 0; ++attempt) {
    seen = manage.CheckOSStatus(runner);
    if (seen == 0) Sleep(20);
  }
  EXPECT_EQ(seen, 1) << "the system directory's rundll32.exe runs";
  EXPECT_EQ(manage.CheckOSStatus(planted), 0);
  DeleteFileW(L"Rundll32.exe");
}

TEST(ProcessLookupTest, FindsAProcessTheTestStarted) {
  // The test starts its process through the library's own Win32 service.
  const auto services = platform::MakeDefaultPlatform();
  platform::Processes& processes = services->processes();
  std::u16string system;
  ASSERT_EQ(processes.SystemDirectory(system), platform::kSuccess);
  platform::ProcessHandle process = 0;
  platform::ProcessHandle thread = 0;
  // A console program that runs a few seconds, started itself: through "cmd /c" it would be
  // cmd's child, which terminating cmd leaves running (and Wine's ping then keeps the prefix's
  // server alive).
  ASSERT_EQ(processes.StartProcess(system + u"\\ping.exe", u"ping -n 6 127.0.0.1",
                                   platform::kSwHide, process, thread),
            platform::kSuccess);
  platform::UniqueProcessHandle ownedProcess(processes, process);
  platform::UniqueProcessHandle ownedThread(processes, thread);

  CNetInfoManage manage;
  wchar_t ping[] = L"ping.exe";
  wchar_t upper[] = L"PING.EXE";
  wchar_t absent[] = L"nebrin-no-such-program.exe";
  int found = 0;
  for (int attempt = 0; attempt < 50 && found == 0; ++attempt) {
    found = manage.CheckOSStatus(ping);
    if (found == 0) Sleep(20);
  }
  EXPECT_EQ(found, 1);
  EXPECT_EQ(manage.CheckOSStatus(upper), 0);
  EXPECT_EQ(manage.CheckOSStatus(absent), 0);
  TerminateProcess(reinterpret_cast<HANDLE>(ownedProcess.get()), 0);
  EXPECT_EQ(processes.Wait(ownedProcess.get(), 5000), platform::kWaitObject0);
}

}  // namespace
}  // namespace nebrin::win32_test
