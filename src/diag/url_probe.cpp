// URL reachability: whether the Internet client opens a URL.
#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace {

constexpr int kOpened = 3;
constexpr int kNotOpened = 5;

constexpr char16_t kAgent[] = u"Nebrin 2.0";

}  // namespace

int CNetDiag::CheckURLConnection(NebrinChar* url) {
  using namespace nebrin::platform;
  return nebrin::frame::Guarded(kNotOpened, [&] {
    InternetClient& internet = Current().internet();
    UniqueInternetHandle client(internet);
    if (internet.Open(kAgent, kInternetOpenTypePreconfig, client.receive()) != kSuccess) {
      return kNotOpened;
    }
    // The URL handle is closed before the client handle it hangs from.
    UniqueInternetHandle opened(internet);
    const Status status = internet.OpenUrl(client.get(), nebrin::frame::ParamText(url),
                                           kInternetFlagExistingConnect, opened.receive());
    return status == kSuccess && opened.get() != kNoInternetHandle ? kOpened : kNotOpened;
  });
}
