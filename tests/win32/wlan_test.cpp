// The wireless members against Wine's real service manager, shell folders and process creation:
// the system's wireless configuration service and the companion driver are absent there, the
// product's service is registered, found and removed, the ad hoc tool (a probe program placed
// under Program Files) is run hidden with its argument, and the connection menu command finds
// no Network Connections folder.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"

namespace {

constexpr int kNotInstalled = static_cast<int>(0x80070424u);

std::wstring ModuleDirectory() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path = module;
  return path.substr(0, path.find_last_of(L'\\'));
}

// The registered executable path of NebrinWLANService, or "" when it is not registered.
std::wstring RegisteredPath() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return L"";
  std::wstring path;
  if (SC_HANDLE service = OpenServiceW(manager, L"NebrinWLANService", SERVICE_QUERY_CONFIG)) {
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (QueryServiceConfigW(service, config, needed, &needed)) {
      path = config->lpBinaryPathName;
      EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
      EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
      EXPECT_STREQ(config->lpDisplayName, L"Nebrin WLAN Service");
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return path;
}

TEST(WlanOnWine, MissingSystemServicesGiveTheirOpenError) {
  CWLanControl wlan;
  wlan.bWZCStopped = 5;
  EXPECT_EQ(wlan.StopWZCService(), kNotInstalled);
  EXPECT_EQ(wlan.StartWZCService(), kNotInstalled);
  EXPECT_EQ(wlan.StartPDService(), kNotInstalled);
  EXPECT_EQ(wlan.bWZCStopped, 5);
  EXPECT_EQ(wlan.CheckWZCStatus(1), 0);
  EXPECT_EQ(wlan.CheckWZCStatus(0), 0);
}

TEST(WlanOnWine, ProductServiceIsRegisteredFoundAndRemoved) {
  CWLanControl wlan;
  wlan.DeleteWLANService();  // a leftover of an earlier run
  ASSERT_EQ(wlan.CheckNebrinWLANStatus(), 0);

  std::wstring program = ModuleDirectory() + L"\\adhoc_tool_probe.exe";
  ASSERT_EQ(wlan.InstallWLANService(program.data()), 1);
  EXPECT_EQ(RegisteredPath(), program);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 1);

  std::wstring other = L"C:\\other\\service.exe";
  EXPECT_EQ(wlan.InstallWLANService(other.data()), 1);
  EXPECT_EQ(RegisteredPath(), program);

  EXPECT_EQ(wlan.DeleteWLANService(), 1);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 0);
  EXPECT_EQ(RegisteredPath(), L"");

  // A program path with a blank is registered quoted.
  std::wstring blank = L"C:\\Program Files\\Nebrin Test\\NebrinSvc.exe";
  ASSERT_EQ(wlan.InstallWLANService(blank.data()), 1);
  EXPECT_EQ(RegisteredPath(), L"\"" + blank + L"\"");
  EXPECT_EQ(wlan.DeleteWLANService(), 1);
  EXPECT_EQ(wlan.DeleteWLANService(), 0);
}

// Places the probe as Tamsel.exe in the product's folder under the prefix's Program Files.
class AdHocToolOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_EQ(
        SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles),
        S_OK);
    corvane_ = std::wstring(programFiles) + L"\\corvane";
    folder_ = corvane_ + L"\\Nebrin";
    CreateDirectoryW(corvane_.c_str(), nullptr);
    CreateDirectoryW(folder_.c_str(), nullptr);
    tool_ = folder_ + L"\\Tamsel.exe";
    ASSERT_TRUE(
        CopyFileW((ModuleDirectory() + L"\\adhoc_tool_probe.exe").c_str(), tool_.c_str(), FALSE));
    DeleteFileW(Log().c_str());
  }
  void TearDown() override {
    DeleteFileW(Log().c_str());
    DeleteFileW(tool_.c_str());
    RemoveDirectoryW(folder_.c_str());
    RemoveDirectoryW(corvane_.c_str());
  }
  std::wstring Log() const { return folder_ + L"\\probe.log"; }
  std::string ReadLog() const {
    std::ifstream in(Narrow(Log()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
  }

  std::wstring corvane_;
  std::wstring folder_;
  std::wstring tool_;
};

TEST_F(AdHocToolOnWine, ToolRunsHiddenWithItsArgument) {
  CWLanControl wlan;
  for (const auto& [mode, argument] :
       std::vector<std::pair<int, const char*>>{{1, "/1"}, {0, "/2"}}) {
    SCOPED_TRACE(mode);
    DeleteFileW(Log().c_str());
    ASSERT_EQ(wlan.MakeAdHocByExternalBinary(mode), 1);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("command=\"" + Narrow(tool_) + "\" " + argument + "\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("flags=" + std::to_string(STARTF_USESHOWWINDOW) + "\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("show=0\n"), std::string::npos) << log;
  }
  DeleteFileW(Log().c_str());
  NebrinHandle device = nullptr;
  EXPECT_EQ(wlan.MakeOneClickAdHoc(device, nullptr), 22);
  EXPECT_NE(ReadLog().find("\" /1\n"), std::string::npos);
}

TEST_F(AdHocToolOnWine, MissingToolGives23) {
  ASSERT_TRUE(DeleteFileW(tool_.c_str()));
  CWLanControl wlan;
  EXPECT_EQ(wlan.MakeAdHocByExternalBinary(1), 0);
  NebrinHandle device = nullptr;
  EXPECT_EQ(wlan.MakeOneClickAdHoc(device, nullptr), 23);
}

// COM is balanced: afterwards the thread's apartment is where it was.
TEST(ConnectionMenuOnWine, NoFolderGivesZeroWithComBalanced) {
  CWLanControl wlan;
  std::wstring name = L"Nebrin Test Connection";
  EXPECT_EQ(wlan.OnAp(name.data()), 0);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);  // not left initialised
  EXPECT_EQ(wlan.OnAp(name.data()), 0);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // the test's own initialisation still stands
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

}  // namespace
