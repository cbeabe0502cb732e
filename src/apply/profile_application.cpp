// Applying a stored profile: the checks that keep an application from starting, then the steps
// the sharing roles of the profile in force and of the target call for (a sharing host's
// teardown, a sharing host's or client's set-up with the private wireless network, or the
// adapters' addresses alone). Nothing is rolled back: the result code tells how far it got.
#include "NebrinCoreDll.h"
#include "apply/result_codes.h"
#include "apply/wireless_service_wait.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "frame/shared_objects.h"

namespace nebrin::apply {
namespace {

// Sharing roles (`nICSFlag`).
constexpr int kNoSharing = 0;
constexpr int kHost = 1;
constexpr int kClient = 2;

// What the library's own wireless controller holds after it stopped a running WZCSVC.
constexpr short kServiceStoppedHere = -1;

// One application: the records, the object the member runs on and the library's own wireless
// controller, through which every wireless-service and ad hoc call goes (its flag is the one read).
class Application {
 public:
  Application(CNetInfoManage& manage, EnvInfoStr& target, AdapterInfoStr* adapters,
              const EnvInfoStr* current)
      : manage_(manage),
        wlan_(frame::SharedWLan()),
        target_(target),
        adapters_(adapters),
        current_(current) {}

  // The result code that keeps the application from starting, or 0 when it may start.
  int Refused() {
    NebrinChar shell[] = {'n', 'e', 't', 's', 'h', '.', 'e', 'x', 'e', 0};
    NebrinChar core[] = {'O', 'R', 'L', '_', 'C', 'o', 'r', 'e', '.', 'e', 'x', 'e', 0};
    NebrinChar tool[] = {'T', 'a', 'm', 's', 'e', 'l', '.', 'e', 'x', 'e', 0};
    if (manage_.CheckOSStatus(shell) != 0) return kShellRunning;
    if (manage_.CheckOSStatus(core) != 0) return kCoreProgramRunning;
    const bool sharing = target_.nICSFlag == kHost || target_.nICSFlag == kClient;
    if (sharing && target_.bPrivateWlan != 0 && manage_.CheckOSStatus(tool) != 0) {
      return kAdHocToolRunning;
    }
    if (manage_.FindSavedDevice(&target_, adapters_) == 0) return kAdapterMissing;
    return 0;
  }

  // The steps the two sharing roles call for.
  int Steps() {
    const int to = target_.nICSFlag;
    if (current_ == nullptr) {
      if (to == kHost) return Host();
      if (to == kClient) return Client(1);
      return Normal();
    }
    const EnvInfoStr& from = *current_;
    switch (from.nICSFlag) {
      case kNoSharing:
        if (to == kHost) return Host();
        if (to == kClient) return Client(1);
        return Normal();
      case kHost:
        if (to == kNoSharing) {
          if (const int failed = Teardown()) return failed;
          if (from.bPrivateWlan != 0) wlan_.StartWZCService();  // result not examined
          return Normal();
        }
        if (to == kHost) {
          if (from.nProfileKey != target_.nProfileKey) return Host();
          // The host in force again: only its addresses are rewritten, unless its sharing
          // adapters changed, which this path leaves alone.
          const bool sameAdapters =
              frame::SameField(from.strPublicDevGUID, target_.strPublicDevGUID) &&
              frame::SameField(from.strPrivateDevGUID, target_.strPrivateDevGUID);
          return sameAdapters ? Normal() : kSameSharingHost;
        }
        if (to == kClient) {
          if (const int failed = Teardown()) return failed;
          return Client(2);
        }
        return Normal();
      case kClient:
        if (to == kNoSharing) return NormalAfterClient(from);
        if (to == kHost) return Host();
        if (to == kClient) return Client(2);
        return Normal();
      default:
        return Normal();
    }
  }

 private:
  // Makes this machine the sharing host of the target.
  int Host() {
    wlan_.StartWZCService();  // result not examined: the wait below tells
    WaitForWirelessService(wlan_);
    int result = manage_.ICSServerSetup(&target_, adapters_, 1);
    if (result != kSharingSetUp) return result;
    if (target_.bPrivateWlan != 0 && wlan_.MakeAdHocByExternalBinary(1) == 0) {
      return AdHocToolFailed();
    }
    if (manage_.CheckServerIPChange(&target_, adapters_) != 0) {
      result = manage_.ServerIPSet(&target_, adapters_);
    }
    return result == kSharingSetUp ? kSharingSetUp : kSharingHostIncomplete;
  }

  // Makes this machine a sharing client of the target; `mode` is the ad hoc tool's.
  int Client(int mode) {
    const int result = manage_.ICSClientSetup(&target_, adapters_);
    if (result != kApplied) return result;
    if (target_.bPrivateWlan == 0) return kApplied;
    return wlan_.MakeAdHocByExternalBinary(mode) != 0 ? kSharingSetUp : AdHocToolFailed();
  }

  // The ad hoc tool did not run: WZCSVC is started again if the library's controller stopped it.
  int AdHocToolFailed() {
    if (wlan_.bWZCStopped == kServiceStoppedHere) wlan_.StartWZCService();
    return kAdHocToolFailed;
  }

  // Switches sharing and the firewall off on every connection; 0 when done, else the code.
  int Teardown() {
    const int result = manage_.ICSServerSetup(&target_, adapters_, 0);
    return result == kSharingSetUp ? 0 : result;
  }

  int Normal() { return manage_.NormalSetup(&target_, adapters_); }

  // From a sharing client to a profile without sharing: the addresses, then WZCSVC again when the
  // client made a private wireless network (two attempts).
  int NormalAfterClient(const EnvInfoStr& from) {
    const int result = Normal();
    if (result != kApplied || from.bPrivateWlan == 0) return result;
    if (wlan_.StartWZCService() != 0 && wlan_.StartWZCService() != 0) {
      return kSharingHostIncomplete;
    }
    return result;
  }

  CNetInfoManage& manage_;
  CWLanControl& wlan_;
  EnvInfoStr& target_;
  AdapterInfoStr* adapters_;
  const EnvInfoStr* current_;
};

}  // namespace
}  // namespace nebrin::apply

// The handle and the adapters of the profile in force are neither read nor written.
int CNetInfoManage::ApplySelectProfile(NebrinHandle&, EnvInfoStr* target,
                                       AdapterInfoStr* targetAdapters, EnvInfoStr* current,
                                       AdapterInfoStr*) {
  using namespace nebrin;
  // Only the comparison of the sharing adapters allocates here, before anything has changed:
  // a failure there leaves the machine as it was, like a missing record.
  return frame::Guarded(apply::kScriptFailed, [&] {
    if (target == nullptr || targetAdapters == nullptr) return apply::kScriptFailed;
    apply::Application application(*this, *target, targetAdapters, current);
    if (const int refused = application.Refused()) return refused;
    return application.Steps();
  });
}
