#include "platform/native/curl_internet.h"

#include <curl/curl.h>

#include <memory>
#include <new>
#include <string_view>

#include "platform/native/iconv_text.h"

namespace nebrin::platform::native {
namespace {

constexpr std::uint32_t kUtf8 = 65001;

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using UniqueEasy = std::unique_ptr<CURL, EasyDeleter>;

// The URL counts as opened once the headers of the server's final response are complete, as
// WinINet hands out its handle then (the status is not judged, and the body is not waited for: a
// server may hold it back). Interim responses (1xx) and redirects that will be followed are not
// final. Where there are no such headers (ftp), the first body byte, or the end of the transfer,
// is the sign. Either ends the transfer.
struct Progress {
  CURL* easy = nullptr;
  bool redirect = false;  // the response under way names a Location
  bool opened = false;
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

size_t AtHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& progress = *static_cast<Progress*>(user);
  const std::string_view line(data, size * count);
  if (StartsWithNoCase(line, "http/")) progress.redirect = false;  // a new response begins
  if (StartsWithNoCase(line, "location:")) progress.redirect = true;
  if (line != "\r\n" && line != "\n") return size * count;
  long code = 0;
  curl_easy_getinfo(progress.easy, CURLINFO_RESPONSE_CODE, &code);
  const bool interim = code >= 100 && code < 200;
  const bool followed = code >= 300 && code < 400 && progress.redirect;
  if (code == 0 || interim || followed) return size * count;
  progress.opened = true;
  return 0;  // refusing the line ends the transfer
}

size_t AtBody(char*, size_t, size_t, void* user) {
  static_cast<Progress*>(user)->opened = true;
  return 0;
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
    progress.easy = easy.get();
    // Every option must take: a libcurl that cannot restrict the schemes would open file:// and
    // the like.
    const bool set =
        curl_easy_setopt(easy.get(), CURLOPT_URL, text.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, found->second.agent.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_PROTOCOLS_STR, "http,https,ftp") == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp") == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&  // as WinINet
        curl_easy_setopt(easy.get(), CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_HEADERFUNCTION, AtHeaderLine) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_HEADERDATA, &progress) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, AtBody) == CURLE_OK &&
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &progress) == CURLE_OK;
    if (!set) return kInternetInternalError;
    const CURLcode code = curl_easy_perform(easy.get());
    if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && progress.opened)) {
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
