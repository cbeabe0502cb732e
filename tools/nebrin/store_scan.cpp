#include "store_scan.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "host_services.h"
#include "platform/registry.h"

namespace nebrin::host {
namespace {

using platform::KeyHandle;
using platform::Registry;

constexpr char16_t kStoreRoot[] = u"Software\\Corvane\\Nebrin";

// An open key of the host's registry service, closed when it goes.
class OpenedKey {
 public:
  explicit OpenedKey(const std::u16string& path) : registry_(HostServices().registry()) {
    if (registry_.OpenKey(platform::kCurrentUser, path, platform::Access::Read, key_) !=
        platform::kSuccess) {
      key_ = platform::kNoKey;
    }
  }
  ~OpenedKey() {
    if (key_ != platform::kNoKey) registry_.CloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  explicit operator bool() const { return key_ != platform::kNoKey; }
  Registry& registry() const { return registry_; }
  KeyHandle get() const { return key_; }

 private:
  Registry& registry_;
  KeyHandle key_ = platform::kNoKey;
};

std::u16string ProfileKey(int number) {
  const std::string digits = std::to_string(number);
  return std::u16string(kStoreRoot) + u"\\" + std::u16string(digits.begin(), digits.end());
}

// A REG_SZ value's first string; nothing when it is missing or of another type.
std::optional<std::u16string> ReadText(const OpenedKey& key, const std::u16string& name) {
  if (!key) return std::nullopt;
  platform::RegType type{};
  std::uint32_t size = 0;
  if (key.registry().QueryValue(key.get(), name, type, nullptr, size) != platform::kSuccess ||
      type != platform::RegType::String) {
    return std::nullopt;
  }
  std::u16string data((size + 1) / 2, u'\0');
  if (key.registry().QueryValue(key.get(), name, type, data.data(), size) != platform::kSuccess ||
      type != platform::RegType::String) {
    return std::nullopt;
  }
  data.resize(std::min<std::size_t>(data.size(), size / 2));
  const std::size_t end = data.find(u'\0');
  if (end != std::u16string::npos) data.resize(end);
  return data;
}

// Decimal digits only, as profile keys are named; nothing for anything else or too large.
std::optional<int> Decimal(const std::u16string& text, bool sign) {
  std::size_t i = 0;
  bool negative = false;
  if (sign && !text.empty() && text[0] == u'-') {
    negative = true;
    i = 1;
  }
  if (i == text.size() || text.size() - i > 10) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

}  // namespace

StoreScan ScanStore() {
  StoreScan scan;
  const OpenedKey root(kStoreRoot);
  if (!root) return scan;
  if (const auto count = ReadText(root, u"ProfileCount")) scan.profileCount = Decimal(*count, true);
  for (std::uint32_t index = 0;; ++index) {
    std::u16string name;
    if (root.registry().EnumKey(root.get(), index, name) != platform::kSuccess) break;
    if (const auto number = Decimal(name, true)) scan.numbers.push_back(*number);
  }
  std::sort(scan.numbers.begin(), scan.numbers.end());
  return scan;
}

bool ProfileKeyExists(int number) { return static_cast<bool>(OpenedKey(ProfileKey(number))); }

std::optional<std::u16string> StoredName(int number) {
  return ReadText(OpenedKey(ProfileKey(number)), u"ProfileName");
}

std::optional<int> StoredIcon(int number) {
  const auto text = ReadText(OpenedKey(ProfileKey(number)), u"IconIndex");
  if (!text) return std::nullopt;
  // Read as the library reads numbers: leading blanks and a sign, digits up to the first other
  // character, 0 without digits.
  std::size_t i = text->find_first_not_of(u" \t\n\v\f\r");
  if (i == std::u16string::npos) return 0;
  const bool negative = (*text)[i] == u'-';
  if ((*text)[i] == u'-' || (*text)[i] == u'+') ++i;
  long long value = 0;
  for (; i < text->size() && (*text)[i] >= u'0' && (*text)[i] <= u'9'; ++i) {
    value = std::min<long long>(value * 10 + ((*text)[i] - u'0'), 1LL << 40);
  }
  value = negative ? -value : value;
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

std::optional<int> LastProfileNumber() {
  const auto text = ReadText(OpenedKey(kStoreRoot), u"LastProfileNo");
  return text ? Decimal(*text, true) : std::nullopt;
}

}  // namespace nebrin::host
