#include "common/shown_text.h"

#include <cstdio>

namespace nebrin::text {
namespace {

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::string Hex2(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X", value & 0xFFu);
  return buffer;
}

}  // namespace

std::string Excerpt(std::string_view utf8, std::size_t maxCharacters) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < maxCharacters && at < utf8.size(); ++n) {
    at += SequenceLength(static_cast<unsigned char>(utf8[at]));
  }
  if (at >= utf8.size()) return std::string(utf8);
  return std::string(utf8.substr(0, at)) + "... (" + std::to_string(utf8.size()) + " bytes)";
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool HasControl(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20 || byte == 0x7F) return true;
    // C1 controls are U+0080..U+009F: C2 80 .. C2 9F.
    if (byte == 0xC2 && i + 1 < utf8.size()) {
      const auto next = static_cast<unsigned char>(utf8[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return true;
    }
  }
  return false;
}

std::string Escaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte == 0xC2 && i + 1 < utf8.size()) {
      const auto next = static_cast<unsigned char>(utf8[i + 1]);
      if (next >= 0x80 && next <= 0x9F) {
        out += "\\u00" + Hex2(next);
        ++i;
        continue;
      }
    }
    if (byte >= 0x20 && byte != 0x7F) {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    switch (byte) {
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += "\\u00" + Hex2(byte); break;
    }
  }
  return out;
}

}  // namespace nebrin::text
