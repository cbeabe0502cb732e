// Reading one key's values into a record, each bounded by the field that receives it, decoded
// with the store's rules.
#pragma once

#include <cstddef>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/record_text.h"
#include "platform/registry_key.h"
#include "store/store_values.h"

namespace nebrin::store {

class ValueReader {
 public:
  ValueReader(platform::Registry& registry, platform::KeyHandle key)
      : registry_(registry), key_(key) {}

  // A text value into a field; a text longer than the field holds cannot be read.
  template <std::size_t N>
  bool Text(const std::u16string& name, NebrinChar (&field)[N]) {
    std::u16string text;
    if (!Read(name, N, text)) return false;
    frame::SetField(field, text);
    return true;
  }
  // An optional text value: only a value that does not exist leaves the field as it was; any
  // other failure, a text too long for the field among them, fails the read.
  template <std::size_t N>
  bool OptionalText(const std::u16string& name, NebrinChar (&field)[N]) {
    std::u16string text;
    const platform::Status status = platform::ReadText(registry_, key_, name, N, text);
    if (status == platform::kFileNotFound) return true;
    if (status != platform::kSuccess) return false;
    frame::SetField(field, text);
    return true;
  }
  bool Number(const std::u16string& name, int& number) {
    std::u16string text;
    if (!Read(name, kNumberRoom, text)) return false;
    number = ParseNumber(text);
    return true;
  }
  bool Flag(const std::u16string& name, int& flag) {
    std::u16string text;
    if (!Read(name, kNumberRoom, text)) return false;
    flag = ParseFlag(text);
    return true;
  }
  bool SharingRole(const std::u16string& name, int& role) {
    std::u16string text;
    if (!Read(name, kNumberRoom, text)) return false;
    role = ParseSharingRole(text);
    return true;
  }

 private:
  bool Read(const std::u16string& name, std::size_t room, std::u16string& text) {
    return platform::ReadText(registry_, key_, name, room, text) == platform::kSuccess;
  }

  platform::Registry& registry_;
  platform::KeyHandle key_;
};

}  // namespace nebrin::store
