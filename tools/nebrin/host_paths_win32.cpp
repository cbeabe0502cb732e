#include <system_error>

#include "host_paths.h"
#include "host_profile.h"
#include "host_services.h"
#include "platform/shell.h"

namespace nebrin::host {
namespace {

constexpr int kCsidlAppData = 26;  // CSIDL_APPDATA: the user's roaming application data

}  // namespace

std::filesystem::path AppliedProfileFile(const HostOptions&) {
  std::u16string folder;
  if (platform::Failed(
          HostServices().shell().FolderPath(kCsidlAppData, platform::kFolderPathCurrent, folder))) {
    throw Refusal(
        "the user's application data folder is not known, so the host cannot keep the profile "
        "it applies");
  }
  return std::filesystem::path(folder) / u"Corvane" / u"Nebrin" / u"applied-profile.json";
}

std::string FullPath(const std::string& typed) {
  if (typed.empty()) return typed;
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(ToUtf16(typed), error);
  return error ? typed : ToUtf8(full.u16string());
}

}  // namespace nebrin::host
