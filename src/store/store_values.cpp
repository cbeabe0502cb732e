#include "store/store_values.h"

#include <algorithm>
#include <climits>
#include <string>

#include "store/store_keys.h"

namespace nebrin::store {

using platform::kSuccess;
using platform::Status;

std::u16string DecimalText(int number) {
  const std::string text = std::to_string(number);
  return std::u16string(text.begin(), text.end());
}

int ParseNumber(std::u16string_view text) {
  std::size_t i = 0;
  auto space = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
  while (i < text.size() && space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::u16string_view FlagText(int flag) { return flag == 1 ? u"true" : u"false"; }

int ParseFlag(std::u16string_view text) { return text == u"true" ? 1 : 0; }

std::u16string_view SharingRoleText(int role) {
  if (role == 1) return u"server";
  if (role == 2) return u"client";
  return u"normal";
}

int ParseSharingRole(std::u16string_view text) {
  if (text == u"server") return 1;
  if (text == u"client") return 2;
  return 0;
}

Status WriteText(platform::Registry& registry, platform::KeyHandle key, const std::u16string& name,
                 std::u16string_view text) {
  std::u16string data(text);
  data.push_back(u'\0');
  return registry.SetValue(key, name, platform::RegType::String, data.data(),
                           static_cast<std::uint32_t>(data.size() * sizeof(char16_t)));
}

Status SubkeyName(platform::Registry& registry, platform::KeyHandle key, std::uint32_t index,
                  std::u16string& name) {
  const Status status = registry.EnumKey(key, index, name);
  if (status == kSuccess && name.size() >= kSubkeyNameRoom) {
    name.clear();
    return platform::kMoreData;
  }
  return status;
}

Status HighestProfileNumber(platform::Registry& registry, platform::KeyHandle root, int& highest) {
  highest = 0;
  std::u16string name;
  for (std::uint32_t i = 0;; ++i) {
    const Status status = SubkeyName(registry, root, i, name);
    if (status == platform::kNoMoreItems) return kSuccess;
    if (status == platform::kMoreData) continue;
    if (status != kSuccess) return status;
    highest = std::max(highest, ParseNumber(name));
  }
}

Status CreateKey(platform::Registry& registry, platform::KeyHandle parent,
                 const std::u16string& path, platform::UniqueKey& key, bool& created) {
  platform::KeyHandle handle = platform::kNoKey;
  const Status status = registry.CreateKey(parent, path, platform::Access::All, handle, created);
  if (status != kSuccess) return status;
  key = platform::UniqueKey(registry, handle);
  return kSuccess;
}

bool ReadRootNumber(platform::Registry& registry, const std::u16string& name,
                    platform::UniqueKey& root, int& number) {
  if (platform::OpenKey(registry, platform::kCurrentUser, kStoreRoot, platform::Access::Read,
                        root) != kSuccess) {
    return false;
  }
  std::u16string text;
  if (platform::ReadText(registry, root.get(), name, kNumberRoom, text) != kSuccess) return false;
  number = ParseNumber(text);
  return true;
}

}  // namespace nebrin::store
