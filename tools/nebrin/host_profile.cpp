#include "host_profile.h"

#include <algorithm>

namespace nebrin::host {

std::vector<NebrinChar> WideParam(const std::string& utf8) {
  const std::u16string text = ToUtf16(utf8);
  std::vector<NebrinChar> wide(text.begin(), text.end());
  wide.push_back(0);
  return wide;
}

int ProfileNumber(const std::string& typed) {
  const bool digits =
      !typed.empty() && typed.size() <= 9 &&
      std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) throw Refusal("\"" + typed + "\" is not a profile number");
  return std::stoi(typed);
}

std::vector<NameIndex> ListProfiles() {
  CNetInfoRetrieve retrieve;
  const int count = retrieve.GetProfileCount();
  std::vector<NameIndex> entries(static_cast<std::size_t>(count));
  if (count > 0 && retrieve.GetNameIndexInfo(entries.data(), count) != 1) {
    throw Refusal("the profile store cannot be read");
  }
  return entries;
}

bool LoadProfile(int number, HostProfile& profile) {
  CCommonFtn().InitStructure(&profile.env, profile.adapters);
  return CNetInfoRetrieve().GetInfoFromRegistry(number, &profile.env, profile.adapters) == 1;
}

void RefuseUnloadable(int number) {
  const auto entries = ListProfiles();
  const bool listed = std::any_of(entries.begin(), entries.end(),
                                  [&](const NameIndex& e) { return e.nProfileKey == number; });
  if (listed) throw Refusal("profile " + std::to_string(number) + " is stored but cannot be read");
  throw Refusal("there is no profile number " + std::to_string(number));
}

}  // namespace nebrin::host
