#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

// The schemes WinINet opens.
bool KnownScheme(std::string_view url) {
  const auto end = url.find("://");
  if (end == std::string_view::npos) return false;
  std::string scheme(url.substr(0, end));
  for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return scheme == "http" || scheme == "https" || scheme == "ftp";
}

}  // namespace

Status SimInternetClient::Open(std::u16string_view agent, std::uint32_t accessType,
                               platform::InternetHandle& handle) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Internet)) return fault;
    platform::InternetHandle opened = platform::kNoInternetHandle;
    if (machine_.network.real) {
      if (Status status = real_.Open(agent, accessType, opened)) return status;
    } else {
      opened = next_;
      next_ += 4;
    }
    Keep(opened, platform::kNoInternetHandle);
    handle = opened;
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimInternetClient::OpenUrl(platform::InternetHandle client, std::u16string_view url,
                                  std::uint32_t flags, platform::InternetHandle& handle) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::Internet)) return fault;
    auto found = machine_.internetHandles.find(client);
    if (found == machine_.internetHandles.end() ||
        found->second != platform::kNoInternetHandle) {
      return platform::kInvalidHandle;
    }
    platform::InternetHandle opened = platform::kNoInternetHandle;
    if (machine_.network.real) {
      if (Status status = real_.OpenUrl(client, url, flags, opened)) return status;
    } else {
      const std::string text = Utf16ToUtf8(url);
      if (!KnownScheme(text)) return platform::kInternetUnrecognizedScheme;
      const SimUrl* known = nullptr;
      for (const auto& listed : machine_.network.urls) {
        if (listed.url == text) known = &listed;
      }
      if (known == nullptr) return platform::kInternetNameNotResolved;
      if (!known->opens) return platform::kInternetCannotConnect;
      opened = next_;
      next_ += 4;
    }
    Keep(opened, client);
    handle = opened;
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

// Records a handle the machine hands out; a real one is closed again when it cannot be kept.
void SimInternetClient::Keep(platform::InternetHandle handle, platform::InternetHandle parent) {
  try {
    machine_.internetHandles.emplace(handle, parent);
  } catch (...) {
    if (machine_.network.real) real_.Close(handle);
    throw;
  }
}

// Closing a handle closes the handles opened on it.
void SimInternetClient::Close(platform::InternetHandle handle) {
  machine_.accounting.Enter(Service::Internet);
  auto& handles = machine_.internetHandles;
  if (handles.find(handle) == handles.end()) return;
  if (machine_.network.real) real_.Close(handle);
  for (auto it = handles.begin(); it != handles.end();) {
    if (it->first == handle || it->second == handle) {
      it = handles.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace nebrin::sim
