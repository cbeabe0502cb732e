// The wireless members against Wine's real service manager, shell folders and process creation:
// the system's wireless configuration service and the companion driver are absent there, the
// product's service is registered, found and removed, the ad hoc tool (a probe program placed
// under Program Files) is run hidden with its argument, the connection menu command finds no
// Network Connections folder, the companion driver's device is missing, and Wine's network
// configuration object answers for itself.
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
constexpr int kPointer = static_cast<int>(0x80004003u);

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

// COM is balanced when a fresh initialisation of the thread answers S_OK.
bool ComBalanced() {
  const HRESULT fresh = CoInitialize(nullptr);
  CoUninitialize();
  return fresh == S_OK;
}

// Wine has no ORLPD service: the device is not found, the start fails with the service's open
// error, and the handle is left as it was.
TEST(DriverOnWine, MissingDriverGivesTheServiceStatus) {
  CWLanControl wlan;
  std::wstring adapter = L"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";
  NebrinHandle device = reinterpret_cast<NebrinHandle>(0x10);
  EXPECT_EQ(wlan.OpenDevice(adapter.data(), device), kNotInstalled);
  EXPECT_EQ(device, reinterpret_cast<NebrinHandle>(0x10));
  EXPECT_EQ(wlan.CheckPDDriverExist(), 0);
  // Requests on the invalid handle are refused before DeviceIoControl.
  std::wstring ssid = L"Cafe";
  EXPECT_EQ(wlan.SetSsid(INVALID_HANDLE_VALUE, ssid.data()), static_cast<int>(0x80070057u));
}

// GetINetCfg called with a reference to nothing, as a host passing a null pointer calls it.
int GetWithoutOutArgument(CWLanControl& wlan) {
  INetCfg** volatile nothing = nullptr;
  return wlan.GetINetCfg(*nothing);
}

// Wine's network configuration object answers S_OK to creating, locking, initialising,
// uninitialising and unlocking, and the members pass that on. Its write lock keeps no second client
// out (a second GetINetCfg while the first is held answers 0 as well), so the wait for the lock is
// exercised on the simulated machine only.
TEST(DriverOnWine, ConfigurationStatusesPassThrough) {
  CWLanControl wlan;
  EXPECT_EQ(GetWithoutOutArgument(wlan), kPointer);
  EXPECT_EQ(wlan.ReleaseINetCfg(nullptr), kPointer);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  INetCfg* netCfg = nullptr;
  const int opened = wlan.GetINetCfg(netCfg);
  ASSERT_EQ(opened, 0);
  ASSERT_NE(netCfg, nullptr);
  EXPECT_EQ(wlan.ReleaseINetCfg(netCfg), 0);
  CoUninitialize();
  EXPECT_TRUE(ComBalanced());
}

// A setup file that is not there: the copy's error, no configuration, COM ended again.
TEST(DriverOnWine, MissingSetupFileGivesTheCopysError) {
  CWLanControl wlan;
  std::wstring path = ModuleDirectory() + L"\\no-such-driver.inf";
  std::wstring component = L"K_ORLPD";
  ASSERT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(wlan.InstallPDDriver(path.data()), static_cast<int>(0x80070002u));
  EXPECT_TRUE(ComBalanced());
  // Without COM on the thread, a configuration asked for would answer CO_E_NOTINITIALIZED: the
  // copy's error shows that none was.
  EXPECT_EQ(wlan.InstallNetComponent(component.c_str(), path.c_str()),
            static_cast<int>(0x80070002u));
}

}  // namespace
