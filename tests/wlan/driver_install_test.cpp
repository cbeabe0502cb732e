// Installing the companion driver through the network configuration of simulated machines, and
// the write-locked configuration the host can open and close itself.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/hresult.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;
using sim::Service;

constexpr int kDenied = static_cast<int>(0x80070005u);
constexpr int kNotFound = static_cast<int>(0x80070002u);
constexpr int kNoWriteLock = static_cast<int>(0x8004A024u);
constexpr int kNoDriverSelected = static_cast<int>(0x800F0203u);
constexpr int kPointer = static_cast<int>(0x80004003u);
constexpr int kFail = static_cast<int>(0x80004005u);
constexpr int kComNotInitialized = static_cast<int>(0x800401F0u);

constexpr const char* kSource = "C:\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf";
constexpr const char* kStoreCopy = "C:\\WINDOWS\\inf\\oem0.inf";

// The demo machine before the driver was installed: its setup file beside the product, nothing in
// the store, no component and no driver service.
std::shared_ptr<Machine> WithoutDriver() {
  auto m = Machine::Demo();
  SetService(*m, "ORLPD", std::nullopt);
  m->network_configuration().components.clear();
  m->network_configuration().setupFiles.clear();
  m->file_state().files.erase(kStoreCopy);
  return m;
}

// GetINetCfg called with a reference to nothing, as a host passing a null pointer calls it.
__attribute__((no_sanitize("undefined"))) int GetWithoutOutArgument(CWLanControl& wlan) {
  INetCfg** nothing = nullptr;
  return wlan.GetINetCfg(*nothing);
}

class DriverInstallTest : public SimTest {
 protected:
  void SetUp() override { Use(WithoutDriver()); }
  int Install(const std::string& path = kSource) {
    std::u16string text(path.begin(), path.end());
    return wlan_.InstallPDDriver(Param(text));
  }
  // Whether another client could take the write lock now.
  bool LockFree() {
    platform::ComApartment apartment(machine().com());
    INetCfg* netCfg = nullptr;
    const int result = wlan_.GetINetCfg(netCfg);
    if (result == 0) wlan_.ReleaseINetCfg(netCfg);
    return result == 0;
  }

  CWLanControl wlan_;
};

TEST_F(DriverInstallTest, InstallsTheComponentAndKeepsComInitialised) {
  ASSERT_EQ(Install(), 0);
  const sim::NetCfgState& config = machine().network_configuration();
  ASSERT_EQ(config.components.size(), 1u);
  EXPECT_EQ(config.components[0].id, "K_ORLPD");
  ASSERT_EQ(config.setupFiles.size(), 1u);
  EXPECT_EQ(config.setupFiles[0].name, "oem0.inf");
  EXPECT_EQ(config.setupFiles[0].source, kSource);
  EXPECT_EQ(machine().file_state().files.at(kStoreCopy), machine().file_state().files.at(kSource));
  const sim::SimService* driver = FindService(machine(), "ORLPD");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->type, 1u);  // kernel driver
  EXPECT_EQ(driver->state, kStopped);
  // COM stays initialised on the thread after a success; the configuration is closed.
  EXPECT_EQ(machine().ComApartmentDepth(), 1u);
  EXPECT_EQ(machine().ComReferencesHeld(), 0u);
  EXPECT_TRUE(LockFree());
  EXPECT_EQ(wlan_.CheckPDDriverExist(), 1);

  // Installing again copies nothing new and installs nothing twice.
  ASSERT_EQ(Install(), 0);
  EXPECT_EQ(config.setupFiles.size(), 1u);
  EXPECT_EQ(config.components.size(), 1u);
  EXPECT_EQ(machine().ComApartmentDepth(), 2u);
  machine().com().Uninitialize();
  machine().com().Uninitialize();
}

TEST_F(DriverInstallTest, FailuresCloseTheConfigurationAndEndCom) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> prepare;
    std::string path;
    int result;
    bool copied;  // the setup file is in the store afterwards
  };
  const std::vector<Case> cases = {
      {"setup file missing", [](Machine&) {}, "C:\\Drivers\\missing.inf", kNotFound, false},
      // The system takes the setup file's full path only, even when the file is there.
      {"relative setup file path",
       [](Machine& m) { m.process_state().currentDirectory = "C:\\Program Files\\corvane"; },
       "Nebrin\\Driver\\ORLPD.inf", kNotFound, false},
      {"setup file in the current directory, by its name",
       [](Machine& m) {
         m.process_state().currentDirectory = "C:\\Program Files\\corvane\\Nebrin\\Driver";
       },
       "ORLPD.inf", kNotFound, false},
      // Rooted on the current drive, or relative to a drive's current directory: relative too.
      {"setup file path from the current drive's root",
       [](Machine& m) { m.process_state().currentDirectory = "C:\\WINDOWS"; },
       "\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf", kNotFound, false},
      {"setup file path relative to a drive's current directory",
       [](Machine& m) {
         m.process_state().currentDirectory = "C:\\Program Files\\corvane\\Nebrin\\Driver";
       },
       "C:ORLPD.inf", kNotFound, false},
      {"no administrative rights", [](Machine& m) { m.system_state().administrator = false; },
       kSource, kDenied, false},
      {"setup file names another component",
       [](Machine& m) { m.file_state().files["C:\\Drivers\\other.inf"] = "[Version]\r\n"; },
       "C:\\Drivers\\other.inf", kNoDriverSelected, true},
      // The network configuration's calls: copy, create, lock interface, write lock,
      // initialise, class setup, install, apply, then the three that close it.
      {"install refused", [](Machine& m) { m.FailServiceCall(Service::NetworkConfig, 7, 5); },
       kSource, kDenied, true},
      {"apply refused", [](Machine& m) { m.FailServiceCall(Service::NetworkConfig, 8, 5); },
       kSource, kDenied, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(WithoutDriver());
    c.prepare(machine());
    machine().ResetCounts();
    EXPECT_EQ(Install(c.path), c.result);
    EXPECT_TRUE(machine().network_configuration().components.empty());
    EXPECT_EQ(FindService(machine(), "ORLPD"), nullptr);
    EXPECT_EQ(machine().network_configuration().setupFiles.size(), c.copied ? 1u : 0u);
    // Closed: nothing held, COM ended again.
    EXPECT_EQ(machine().ComReferencesHeld(), 0u);
    EXPECT_EQ(machine().ComApartmentDepth(), 0u);
    if (!c.copied) {
      EXPECT_EQ(machine().CallCount(Service::NetworkConfig), 1u);  // the copy only
    }
    machine().system_state().administrator = true;
    EXPECT_TRUE(LockFree());
  }
}

TEST_F(DriverInstallTest, WriteLockHeldElsewhereFailsAfterFiveSeconds) {
  machine().network_configuration().writeLockHeldBy = "Network Setup Wizard";
  const std::uint32_t before = machine().tick_count();
  EXPECT_EQ(Install(), kNoWriteLock);
  EXPECT_EQ(machine().tick_count() - before, 5000u);
  // The setup file was copied before the configuration was asked for.
  ASSERT_EQ(machine().network_configuration().setupFiles.size(), 1u);
  EXPECT_TRUE(machine().network_configuration().components.empty());
  EXPECT_EQ(machine().ComApartmentDepth(), 0u);
}

// A host thread whose COM was initialised already (S_FALSE): a failed installation ends this
// call's initialisation too, and the host's own stays.
TEST_F(DriverInstallTest, FailureAfterHostInitialisedComKeepsTheHostsApartment) {
  ASSERT_EQ(machine().com().Initialize(), platform::kSOk);
  EXPECT_EQ(Install("C:\\Drivers\\missing.inf"), kNotFound);
  EXPECT_EQ(machine().ComApartmentDepth(), 1u);
  machine().com().Uninitialize();
}

// A platform whose class-setup interface throws while it installs.
class ThrowingInstall final : public platform::ForwardingPlatform {
 public:
  explicit ThrowingInstall(std::shared_ptr<Machine> machine)
      : ForwardingPlatform(*machine),
        machine_(std::move(machine)),
        config_(machine_->networkConfig()) {}
  platform::NetworkConfig& networkConfig() override { return config_; }

 private:
  class Config final : public platform::NetworkConfig {
   public:
    explicit Config(platform::NetworkConfig& inner) : inner_(inner) {}
    platform::HResult CreateNetCfg(platform::ComRef& c) override { return inner_.CreateNetCfg(c); }
    platform::HResult QueryLock(platform::ComRef c, platform::ComRef& l) override {
      return inner_.QueryLock(c, l);
    }
    platform::HResult AcquireWriteLock(platform::ComRef l, std::uint32_t t, std::u16string_view d,
                                       std::u16string& h) override {
      return inner_.AcquireWriteLock(l, t, d, h);
    }
    platform::HResult ReleaseWriteLock(platform::ComRef l) override {
      return inner_.ReleaseWriteLock(l);
    }
    platform::HResult Initialize(platform::ComRef c) override { return inner_.Initialize(c); }
    platform::HResult Uninitialize(platform::ComRef c) override { return inner_.Uninitialize(c); }
    platform::HResult Apply(platform::ComRef c) override { return inner_.Apply(c); }
    platform::HResult QueryProtocolClassSetup(platform::ComRef c, platform::ComRef& s) override {
      return inner_.QueryProtocolClassSetup(c, s);
    }
    platform::HResult Install(platform::ComRef, std::u16string_view, platform::ComRef&) override {
      throw std::runtime_error("installation failed inside");
    }
    platform::Status CopySetupFile(std::u16string_view s, std::u16string& d) override {
      return inner_.CopySetupFile(s, d);
    }

   private:
    platform::NetworkConfig& inner_;
  };

  std::shared_ptr<Machine> machine_;
  Config config_;
};

TEST(DriverInstall, ExceptionDuringInstallationGivesEFail) {
  auto machine = WithoutDriver();
  InstallPlatform(std::make_shared<ThrowingInstall>(machine));
  std::u16string path = u"C:\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf";
  EXPECT_EQ(CWLanControl().InstallPDDriver(Param(path)), kFail);
  InstallPlatform(nullptr);
  EXPECT_EQ(machine->OpenHandles(), 0u);  // configuration closed, COM ended
  EXPECT_EQ(machine->ComMisuses(), 0u);
  EXPECT_TRUE(machine->network_configuration().components.empty());
}

TEST_F(DriverInstallTest, HostOpensAndClosesTheConfiguration) {
  machine().ResetCounts();
  EXPECT_EQ(GetWithoutOutArgument(wlan_), kPointer);
  EXPECT_EQ(machine().CallCount(), 0u);

  // Without COM on the thread the configuration cannot be created.
  INetCfg* netCfg = reinterpret_cast<INetCfg*>(0x1234);
  EXPECT_EQ(wlan_.GetINetCfg(netCfg), kComNotInitialized);
  EXPECT_EQ(netCfg, nullptr);

  platform::ComApartment apartment(machine().com());
  ASSERT_EQ(wlan_.GetINetCfg(netCfg), 0);
  ASSERT_NE(netCfg, nullptr);
  EXPECT_EQ(machine().ComReferencesHeld(), 1u);  // the caller's one reference

  // A second client waits five seconds for the lock, then gives up.
  INetCfg* second = nullptr;
  const std::uint32_t before = machine().tick_count();
  EXPECT_EQ(wlan_.GetINetCfg(second), kNoWriteLock);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(machine().tick_count() - before, 5000u);

  EXPECT_EQ(wlan_.ReleaseINetCfg(netCfg), 0);
  EXPECT_EQ(machine().ComReferencesHeld(), 0u);
  ASSERT_EQ(wlan_.GetINetCfg(second), 0);
  EXPECT_EQ(wlan_.ReleaseINetCfg(second), 0);

  machine().ResetCounts();
  EXPECT_EQ(wlan_.ReleaseINetCfg(nullptr), kPointer);
  EXPECT_EQ(machine().CallCount(), 0u);
}

TEST_F(DriverInstallTest, FailedInitialisationReleasesTheWriteLock) {
  platform::ComApartment apartment(machine().com());
  // The configuration's calls: create, lock interface, write lock, initialise.
  machine().FailServiceCall(Service::NetworkConfig, 4, 5);
  INetCfg* netCfg = nullptr;
  EXPECT_EQ(wlan_.GetINetCfg(netCfg), kDenied);
  EXPECT_EQ(netCfg, nullptr);
  EXPECT_EQ(machine().ComReferencesHeld(), 0u);
  EXPECT_TRUE(LockFree());
  // Without administrative rights the write lock is refused.
  machine().system_state().administrator = false;
  EXPECT_EQ(wlan_.GetINetCfg(netCfg), kDenied);
}

// A pointer the machine did not hand out is looked up, never followed: refused, and its release
// counted as the host's misuse.
TEST(DriverInstall, ForeignConfigurationPointerIsRefused) {
  auto machine = WithoutDriver();
  InstallPlatform(machine);
  EXPECT_EQ(CWLanControl().ReleaseINetCfg(reinterpret_cast<INetCfg*>(0xDEAD0)), kPointer);
  InstallPlatform(nullptr);
  EXPECT_EQ(machine->ComMisuses(), 1u);
  EXPECT_EQ(machine->OpenHandles(), 0u);
}

}  // namespace
}  // namespace nebrin::testing
