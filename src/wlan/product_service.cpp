// Registration and removal of the product's own wireless service. It runs as the local system
// account and is never started here.
#include <string>
#include <string_view>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/service_handle.h"
#include "wlan/service_status.h"

namespace nebrin::wlan {
namespace {

bool EndsWithExe(std::u16string_view path) {
  constexpr std::u16string_view kExe = u".exe";
  if (path.size() < kExe.size()) return false;
  const std::u16string_view end = path.substr(path.size() - kExe.size());
  for (std::size_t i = 0; i < kExe.size(); ++i) {
    char16_t c = end[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != kExe[i]) return false;
  }
  return true;
}

// The executable path as it is registered. An unquoted program path with a blank would make the
// service manager try each blank-separated prefix as a program ("C:\Program.exe" for
// "C:\Program Files\..."), with the local system account's rights, so such a path is quoted.
// Any other text (already quoted, with arguments, without a blank) is registered as given.
std::u16string RegisteredPath(std::u16string_view path) {
  const bool quote = path.find(u' ') != std::u16string_view::npos && path.front() != u'"' &&
                     EndsWithExe(path);
  if (!quote) return std::u16string(path);
  return u"\"" + std::u16string(path) + u"\"";
}

}  // namespace
}  // namespace nebrin::wlan

int CWLanControl::InstallWLANService(NebrinChar* path) {
  using namespace nebrin;
  return frame::Guarded(0, [this, path] {
    if (CheckNebrinWLANStatus() == 1) return 1;
    platform::ServiceManager& services = platform::Current().serviceManager();
    platform::UniqueServiceHandle manager(services);
    if (services.OpenManager(u"", platform::kScManagerAllAccess, manager.receive()) !=
        platform::kSuccess) {
      return 0;
    }
    const std::u16string binaryPath = wlan::RegisteredPath(frame::ParamText(path));
    platform::ServiceRegistration registration;
    registration.serviceName = wlan::kProductService;
    registration.displayName = wlan::kProductServiceDisplayName;
    registration.desiredAccess = platform::kScManagerAllAccess;
    registration.serviceType = platform::kServiceWin32OwnProcess;
    registration.startType = platform::kServiceAutoStart;
    registration.errorControl = platform::kServiceErrorNormal;
    registration.binaryPath = binaryPath;
    platform::UniqueServiceHandle service(services);
    if (services.Create(manager.get(), registration, service.receive()) == platform::kSuccess) {
      return 1;
    }
    // Registered meanwhile (or not listed): an existing service counts, unchanged.
    return services.Open(manager.get(), wlan::kProductService, platform::kServiceAllAccess,
                         service.receive()) == platform::kSuccess
               ? 1
               : 0;
  });
}

int CWLanControl::DeleteWLANService() {
  using namespace nebrin;
  return frame::Guarded(0, [] {
    platform::ServiceManager& services = platform::Current().serviceManager();
    platform::UniqueServiceHandle manager(services);
    platform::UniqueServiceHandle service(services);
    if (services.OpenManager(u"", platform::kScManagerConnect, manager.receive()) !=
            platform::kSuccess ||
        services.Open(manager.get(), wlan::kProductService, platform::kDelete, service.receive()) !=
            platform::kSuccess) {
      return 0;
    }
    return services.Delete(service.get()) == platform::kSuccess ? 1 : 0;
  });
}
