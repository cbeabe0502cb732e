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

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsExeAt(std::u16string_view text, std::size_t at) {
  constexpr std::u16string_view kExe = u".exe";
  if (text.size() - at < kExe.size()) return false;
  for (std::size_t i = 0; i < kExe.size(); ++i) {
    char16_t c = text[at + i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != kExe[i]) return false;
  }
  return true;
}

// The executable path as it is registered. The service manager reads an unquoted command line
// blank by blank, trying "C:\Program.exe" for "C:\Program Files\...", with the local system
// account's rights; so the program part (up to the first ".exe" that ends a word) is quoted when
// it holds a blank, and the arguments after it are kept as given. A text that starts quoted, or
// that names no ".exe", is registered as given. Blanks ahead of the text are dropped: a quoted
// program is recognised by the quote as the command line's first character, and no full path
// starts with a blank, so they would only keep the quotes from working.
std::u16string RegisteredPath(std::u16string_view path) {
  while (!path.empty() && IsBlank(path.front())) path.remove_prefix(1);
  if (!path.empty() && path.front() == u'"') return std::u16string(path);
  for (std::size_t at = path.find(u'.'); at != std::u16string_view::npos;
       at = path.find(u'.', at + 1)) {
    if (!IsExeAt(path, at)) continue;
    const std::size_t end = at + 4;
    if (end != path.size() && !IsBlank(path[end])) continue;
    const std::u16string_view program = path.substr(0, end);
    if (program.find_first_of(u" \t") == std::u16string_view::npos) break;
    std::u16string quoted;
    quoted.reserve(path.size() + 2);
    quoted.append(1, u'"').append(program).append(1, u'"').append(path.substr(end));
    return quoted;
  }
  return std::u16string(path);
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
