#include "platform/registry_key.h"

#include <vector>

namespace nebrin::platform {

void UniqueKey::reset() {
  if (registry_ != nullptr && key_ != kNoKey) registry_->CloseKey(key_);
  key_ = kNoKey;
}

Status OpenKey(Registry& registry, KeyHandle parent, const std::u16string& path, Access access,
               UniqueKey& key) {
  KeyHandle handle = kNoKey;
  Status status = registry.OpenKey(parent, path, access, handle);
  if (status != kSuccess) return status;
  key = UniqueKey(registry, handle);
  return kSuccess;
}

Status ReadText(Registry& registry, KeyHandle key, const std::u16string& name,
                std::size_t capacity, std::u16string& text) {
  text.clear();
  std::vector<char16_t> buffer(capacity, u'\0');
  std::uint32_t size = static_cast<std::uint32_t>(capacity * sizeof(char16_t));
  RegType type = RegType::None;
  Status status = registry.QueryValue(key, name, type, buffer.data(), size);
  if (status != kSuccess) return status;
  if (type != RegType::String && type != RegType::ExpandString && type != RegType::MultiString) {
    return kMoreData;
  }
  std::size_t units = size / sizeof(char16_t);
  if (units > capacity) return kMoreData;  // a service that wrote past the room it was given
  std::size_t length = 0;
  while (length < units && buffer[length] != u'\0') ++length;
  if (length >= capacity) return kMoreData;  // no room left for the terminator
  text.assign(buffer.data(), length);
  return kSuccess;
}

Status ReadDword(Registry& registry, KeyHandle key, const std::u16string& name,
                 std::uint32_t& value) {
  std::uint32_t data = 0;
  std::uint32_t size = sizeof(data);
  RegType type = RegType::None;
  Status status = registry.QueryValue(key, name, type, &data, size);
  if (status != kSuccess) return status;
  if (type != RegType::Dword || size != sizeof(data)) return kInvalidParameter;
  value = data;
  return kSuccess;
}

}  // namespace nebrin::platform
