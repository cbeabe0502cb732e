#include "platform/native/curl_internet.h"

#include <curl/curl.h>

#include <memory>
#include <new>

#include "platform/native/iconv_text.h"

namespace nebrin::platform::native {
namespace {

constexpr std::uint32_t kUtf8 = 65001;

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using UniqueEasy = std::unique_ptr<CURL, EasyDeleter>;

// The URL counts as opened once the server's response has begun: its headers have arrived (the
// status is not judged, as WinINet hands out a handle for any response). The body is not read:
// its first bytes end the transfer.
struct Progress {
  bool bodyReached = false;
};

size_t StopAtBody(char*, size_t, size_t, void* user) {
  static_cast<Progress*>(user)->bodyReached = true;
  return 0;  // refusing the bytes ends the transfer
}

Status ToStatus(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return kInternetUnrecognizedScheme;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kInternetNameNotResolved;
    default:
      return kInternetCannotConnect;
  }
}

}  // namespace

CurlInternetClient::CurlInternetClient() = default;
CurlInternetClient::~CurlInternetClient() = default;

Status CurlInternetClient::Open(std::u16string_view agent, std::uint32_t,
                                InternetHandle& handle) {
  // libcurl is set up once for the process, on first use, and kept until it ends.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!ready) return kNotEnoughMemory;
  try {
    Handle client;
    if (Status status = WideToBytes(kUtf8, agent, client.agent)) return status;
    handle = next_++;
    handles_.emplace(handle, std::move(client));
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

Status CurlInternetClient::OpenUrl(InternetHandle client, std::u16string_view url, std::uint32_t,
                                   InternetHandle& handle) {
  try {
    auto found = handles_.find(client);
    if (found == handles_.end() || found->second.parent != kNoInternetHandle) {
      return kInvalidHandle;
    }
    std::string text;
    if (Status status = WideToBytes(kUtf8, url, text)) return status;
    UniqueEasy easy(curl_easy_init());
    if (!easy) return kNotEnoughMemory;
    Progress progress;
    curl_easy_setopt(easy.get(), CURLOPT_URL, text.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, found->second.agent.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(easy.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);  // WinINet follows redirects
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, StopAtBody);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &progress);
    const CURLcode code = curl_easy_perform(easy.get());
    if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && progress.bodyReached)) {
      return ToStatus(code);
    }
    handle = next_++;
    handles_.emplace(handle, Handle{client, {}});
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

void CurlInternetClient::Close(InternetHandle handle) {
  for (auto it = handles_.begin(); it != handles_.end();) {
    if (it->first == handle || it->second.parent == handle) {
      it = handles_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace nebrin::platform::native
