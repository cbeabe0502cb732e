// Installing the companion driver as a network protocol: its setup file is copied into the
// system's store of setup files, then the component is installed through a write-locked network
// configuration and the configuration applied. The configuration can also be opened and closed by
// the host itself.
//
// An INetCfg pointer crosses the library boundary as the bits of the seam's ComRef: on Windows the
// system's interface pointer, on the simulated machine the number of a reference in the machine's
// COM object table, which the machine looks up and never follows, so a pointer it did not hand
// out is refused rather than used.
#include <cstdint>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/out_argument.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "wlan/service_status.h"

namespace nebrin::wlan {
namespace {

using platform::HResult;

// What the members answer when an exception escapes them.
constexpr int kEscaped = platform::kEFail;

constexpr std::uint32_t kWriteLockWaitMs = 5000;
constexpr std::u16string_view kLockDescription = u"ORL Setup";

INetCfg* ToNetCfg(platform::ComRef ref) { return reinterpret_cast<INetCfg*>(ref); }
platform::ComRef FromNetCfg(INetCfg* netCfg) { return reinterpret_cast<platform::ComRef>(netCfg); }

// The configuration's write lock, taken: released on scope exit unless handed on with the
// configuration.
class HeldWriteLock {
 public:
  HeldWriteLock(platform::NetworkConfig& config, platform::ComRef lock)
      : config_(config), lock_(lock) {}
  ~HeldWriteLock() {
    if (lock_ != platform::kNoComRef) config_.ReleaseWriteLock(lock_);
  }
  HeldWriteLock(const HeldWriteLock&) = delete;
  HeldWriteLock& operator=(const HeldWriteLock&) = delete;
  void Keep() { lock_ = platform::kNoComRef; }

 private:
  platform::NetworkConfig& config_;
  platform::ComRef lock_;
};

// COM initialised for the installation. After a success it stays initialised on the thread; after
// a failure this call's own initialisation (S_OK or S_FALSE, each counted by COM) is ended again.
class InstallApartment {
 public:
  explicit InstallApartment(platform::Com& com) : com_(com), outcome_(com.Initialize()) {}
  ~InstallApartment() {
    if (!kept_ && !platform::Failed(outcome_)) com_.Uninitialize();
  }
  InstallApartment(const InstallApartment&) = delete;
  InstallApartment& operator=(const InstallApartment&) = delete;
  void Keep() { kept_ = true; }

 private:
  platform::Com& com_;
  HResult outcome_;
  bool kept_ = false;
};

// An open configuration, closed with ReleaseINetCfg whatever happens while it is open.
class OpenConfiguration {
 public:
  OpenConfiguration(CWLanControl& wlan, INetCfg* netCfg) : wlan_(wlan), netCfg_(netCfg) {}
  ~OpenConfiguration() { wlan_.ReleaseINetCfg(netCfg_); }
  OpenConfiguration(const OpenConfiguration&) = delete;
  OpenConfiguration& operator=(const OpenConfiguration&) = delete;
  platform::ComRef get() const { return FromNetCfg(netCfg_); }

 private:
  CWLanControl& wlan_;
  INetCfg* netCfg_;
};

}  // namespace
}  // namespace nebrin::wlan

int CWLanControl::InstallPDDriver(NebrinChar* path) {
  using namespace nebrin;
  return frame::Guarded(wlan::kEscaped, [&] {
    wlan::InstallApartment apartment(platform::Current().com());
    const NebrinChar component[] = {'K', '_', 'O', 'R', 'L', 'P', 'D', 0};
    const int status = InstallNetComponent(component, path);
    if (status >= 0) apartment.Keep();
    return status;
  });
}

int CWLanControl::InstallNetComponent(const NebrinChar* componentId, const NebrinChar* infPath) {
  using namespace nebrin;
  return frame::Guarded(wlan::kEscaped, [&] {
    if (componentId == nullptr || infPath == nullptr) return platform::kEPointer;
    platform::Platform& system = platform::Current();
    platform::NetworkConfig& config = system.networkConfig();
    std::u16string copied;
    if (platform::Status error = config.CopySetupFile(frame::ParamText(infPath), copied)) {
      return wlan::ErrorStatus(error);
    }
    INetCfg* netCfg = nullptr;
    if (const int opened = GetINetCfg(netCfg); opened < 0) return opened;
    // Declared first, so the configuration closes after the objects below are released.
    wlan::OpenConfiguration open(*this, netCfg);
    platform::UniqueComRef classSetup(system.com());
    platform::HResult result = config.QueryProtocolClassSetup(open.get(), classSetup.receive());
    if (!platform::Failed(result)) {
      platform::UniqueComRef installed(system.com());
      result = config.Install(classSetup.get(), frame::ParamText(componentId), installed.receive());
      if (!platform::Failed(result)) result = config.Apply(open.get());
    }
    return static_cast<int>(result);
  });
}

int CWLanControl::GetINetCfg(INetCfg*& netCfg) {
  using namespace nebrin;
  INetCfg** const out = frame::OutArgument(&netCfg);
  return frame::Guarded(wlan::kEscaped, [out] {
    if (out == nullptr) return platform::kEPointer;
    *out = nullptr;
    platform::Platform& system = platform::Current();
    platform::NetworkConfig& config = system.networkConfig();
    platform::UniqueComRef created(system.com());
    platform::HResult result = config.CreateNetCfg(created.receive());
    if (platform::Failed(result)) return result;
    platform::UniqueComRef lock(system.com());
    if (platform::Failed(config.QueryLock(created.get(), lock.receive())) || !lock) {
      return platform::kENoInterface;
    }
    std::u16string holder;  // who holds the lock, when another client does
    result =
        config.AcquireWriteLock(lock.get(), wlan::kWriteLockWaitMs, wlan::kLockDescription, holder);
    if (platform::Failed(result)) return result;
    if (result == platform::kSFalse) return platform::kNetCfgNoWriteLock;
    wlan::HeldWriteLock held(config, lock.get());
    result = config.Initialize(created.get());
    if (platform::Failed(result)) return result;
    // The write lock stays with the configuration the caller now owns.
    held.Keep();
    *out = wlan::ToNetCfg(created.release());
    return 0;
  });
}

int CWLanControl::ReleaseINetCfg(INetCfg* netCfg) {
  using namespace nebrin;
  return frame::Guarded(wlan::kEscaped, [&] {
    if (netCfg == nullptr) return platform::kEPointer;
    platform::Platform& system = platform::Current();
    platform::NetworkConfig& config = system.networkConfig();
    // The caller's reference, released whatever the steps below answer.
    platform::UniqueComRef caller(system.com(), wlan::FromNetCfg(netCfg));
    platform::HResult result = config.Uninitialize(caller.get());
    if (!platform::Failed(result)) {
      platform::UniqueComRef lock(system.com());
      result = config.QueryLock(caller.get(), lock.receive());
      if (!platform::Failed(result) && lock) result = config.ReleaseWriteLock(lock.get());
    }
    return static_cast<int>(result);
  });
}
