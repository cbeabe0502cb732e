// RAII ownership of registry keys, and typed reads with the buffer limits the algorithms give.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/registry.h"

namespace nebrin::platform {

// Owns one open key of a Registry service and closes it when it goes out of scope.
class UniqueKey {
 public:
  UniqueKey() = default;
  UniqueKey(Registry& registry, KeyHandle key) : registry_(&registry), key_(key) {}
  ~UniqueKey() { reset(); }
  UniqueKey(UniqueKey&& other) noexcept
      : registry_(other.registry_), key_(std::exchange(other.key_, kNoKey)) {}
  UniqueKey& operator=(UniqueKey&& other) noexcept {
    if (this != &other) {
      reset();
      registry_ = other.registry_;
      key_ = std::exchange(other.key_, kNoKey);
    }
    return *this;
  }
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;

  KeyHandle get() const { return key_; }
  explicit operator bool() const { return key_ != kNoKey; }
  void reset();

 private:
  Registry* registry_ = nullptr;
  KeyHandle key_ = kNoKey;
};

// Opens `path` below `parent`; the status is that of RegOpenKeyExW.
Status OpenKey(Registry& registry, KeyHandle parent, const std::u16string& path, Access access,
               UniqueKey& key);

// Reads a text value into a buffer of `capacity` UTF-16 code units, terminator included, and
// returns its first string (everything up to the first NUL). A value that does not fit the buffer
// fails with kMoreData, as the system's read does; a value of a non-text type, or one that fills
// the buffer without leaving room for a terminator, is reported as kMoreData too, so that no text
// longer than capacity - 1 ever comes back.
Status ReadText(Registry& registry, KeyHandle key, const std::u16string& name,
                std::size_t capacity, std::u16string& text);

// Reads a 32-bit number (REG_DWORD); any other type or size fails with kInvalidParameter.
Status ReadDword(Registry& registry, KeyHandle key, const std::u16string& name,
                 std::uint32_t& value);

}  // namespace nebrin::platform
