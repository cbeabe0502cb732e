#include "platform/sim/sim_text.h"

#include "common/utf_text.h"

namespace nebrin::sim {
namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The upper case of one UTF-16 unit for the scripts names use in practice (Latin, Greek,
// Cyrillic); other units compare as they are.
char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    bool upperIsEven = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool upperIsOdd = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (upperIsEven && (c & 1)) return static_cast<char16_t>(c - 1);
    if (upperIsOdd && !(c & 1)) return static_cast<char16_t>(c - 1);
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::string Utf16ToUtf8(std::u16string_view utf16) { return text::Utf16ToUtf8(utf16); }

bool IsWellFormed(std::u16string_view utf16) {
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    if (IsHigh(utf16[i]) && i + 1 < utf16.size() && IsLow(utf16[i + 1])) {
      ++i;
    } else if (IsHigh(utf16[i]) || IsLow(utf16[i])) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> Utf16ToBytes(std::u16string_view utf16) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t c : utf16) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

std::u16string BytesToUtf16(const std::vector<std::uint8_t>& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

std::u16string FirstString(const std::vector<std::uint8_t>& bytes) {
  std::u16string text = BytesToUtf16(bytes);
  std::size_t end = text.find(u'\0');
  if (end != std::u16string::npos) text.resize(end);
  return text;
}

std::vector<std::uint8_t> EncodeMultiString(const std::vector<std::u16string>& items) {
  std::u16string text;
  for (const auto& item : items) {
    text += item;
    text.push_back(u'\0');
  }
  text.push_back(u'\0');
  return Utf16ToBytes(text);
}

std::optional<std::vector<std::u16string>> DecodeCanonicalMultiString(
    const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text = BytesToUtf16(bytes);
  std::vector<std::u16string> items;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u'\0', pos);
    if (end == std::u16string::npos) return std::nullopt;  // last item lacks its terminator
    if (end == pos) {                                      // the closing NUL
      if (end + 1 != text.size()) return std::nullopt;
      return items;
    }
    std::u16string item = text.substr(pos, end - pos);
    if (!IsWellFormed(item)) return std::nullopt;
    items.push_back(std::move(item));
    pos = end + 1;
  }
  return std::nullopt;  // no closing NUL
}

std::optional<std::u16string> DecodeCanonicalString(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
  std::u16string text = BytesToUtf16(bytes);
  if (text.back() != u'\0') return std::nullopt;
  text.pop_back();
  if (text.find(u'\0') != std::u16string::npos || !IsWellFormed(text)) return std::nullopt;
  return text;
}

std::u16string FoldName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = Upper(c);
  return folded;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

}  // namespace nebrin::sim
