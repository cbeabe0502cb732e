// URL reachability: whether the Internet client opens a URL.
#include <new>

#include "NebrinCoreDll.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace {

constexpr int kOpened = 3;
constexpr int kNotOpened = 5;

constexpr char16_t kAgent[] = u"Nebrin 2.0";

}  // namespace

int CNetDiag::CheckURLConnection(NebrinChar* url) {
  using namespace nebrin::platform;
  try {
    InternetClient& internet = Current().internet();
    UniqueInternetHandle client(internet);
    if (internet.Open(kAgent, kInternetOpenTypePreconfig, client.receive()) != kSuccess) {
      return kNotOpened;
    }
    // The URL handle hangs from the client handle and is closed with it.
    InternetHandle opened = kNoInternetHandle;
    const Status status = internet.OpenUrl(client.get(), nebrin::frame::ParamText(url),
                                           kInternetFlagExistingConnect, opened);
    return status == kSuccess && opened != kNoInternetHandle ? kOpened : kNotOpened;
  } catch (const std::bad_alloc&) {
    return kNotOpened;
  }
}
