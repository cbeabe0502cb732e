#include "platform/win32/win32_internet.h"

#include <windows.h>
#include <wininet.h>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

HINTERNET Native(InternetHandle handle) { return reinterpret_cast<HINTERNET>(handle); }

}  // namespace

Status Win32InternetClient::Open(std::u16string_view agent, std::uint32_t accessType,
                                 InternetHandle& handle) {
  const std::wstring text = ToWin(agent);
  HINTERNET opened = InternetOpenW(text.c_str(), accessType, nullptr, nullptr, 0);
  if (opened == nullptr) return static_cast<Status>(GetLastError());
  handle = reinterpret_cast<InternetHandle>(opened);
  return kSuccess;
}

Status Win32InternetClient::OpenUrl(InternetHandle client, std::u16string_view url,
                                    std::uint32_t flags, InternetHandle& handle) {
  const std::wstring text = ToWin(url);
  HINTERNET opened = InternetOpenUrlW(Native(client), text.c_str(), nullptr, 0, flags, 0);
  if (opened == nullptr) return static_cast<Status>(GetLastError());
  handle = reinterpret_cast<InternetHandle>(opened);
  return kSuccess;
}

void Win32InternetClient::Close(InternetHandle handle) { InternetCloseHandle(Native(handle)); }

}  // namespace nebrin::platform::win32
