#include "platform/native/best_fit.h"

#include <string_view>

namespace nebrin::platform::native {
namespace {

// Per code page: the characters (each lacking in the page) and, at the same position, the byte
// the page's best-fit table gives each. Taken from the tables Windows and Wine convert with,
// keeping the mappings onto 0x01 to 0x1F, 0x22 and 0x7F.
struct PageBestFit {
  std::uint32_t page;
  std::u16string_view from;
  std::string_view to;
};

constexpr PageBestFit kBestFit[] = {
    {437,
     u"\u00A4\u00A7\u00A8\u00B6\u02BA\u0308\u030E\u201C\u201D\u2022\u203C\u20DD\u2190\u2191"
     u"\u2192\u2193\u2194\u2195\u21A8\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8"
     u"\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B\u3007\uFF02",
     "\x0F\x15\x22\x14\x22\x22\x22\x22\x22\x07\x13\x09\x1B\x18"
     "\x1A\x19\x1D\x12\x17\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08"
     "\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E\x09\x22"},
    {737,
     u"\u00A7\u00B6\u2022\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u2302\u25AC"
     u"\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663"
     u"\u2665\u2666\u266A\u266B\uFF02",
     "\x15\x14\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x7F\x16"
     "\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05"
     "\x03\x04\x0D\x0E\x22"},
    {775,
     u"\u02BA\u030E\u2022\u2024\u2026\u2033\u2035\u203C\u2190\u2191\u2192\u2193\u2194\u2195"
     u"\u21A8\u221F\u22C5\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B"
     u"\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B\u275D\u275E\u301D\u301E\u301F"
     u"\u30FB\uFF02",
     "\x22\x22\x07\x07\x07\x22\x22\x13\x1B\x18\x1A\x19\x1D\x12"
     "\x17\x1C\x07\x7F\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02"
     "\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E\x22\x22\x22\x22\x22"
     "\x07\x22"},
    {850,
     u"\u02BA\u030E\u201C\u201D\u201E\u2022\u2024\u203C\u2190\u2191\u2192\u2193\u2194\u2195"
     u"\u21A8\u2219\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B"
     u"\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B\uFF02",
     "\x22\x22\x22\x22\x22\x07\x07\x13\x1B\x18\x1A\x19\x1D\x12"
     "\x17\x07\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02"
     "\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E\x22"},
    {852,
     u"\u00B6\u00B7\u02BA\u030E\u201C\u201D\u201E\u2022\u2024\u2026\u2033\u2035\u203C\u2190"
     u"\u2191\u2192\u2193\u2194\u2195\u21A8\u2219\u221F\u22C5\u2302\u25AC\u25B2\u25BA\u25BC"
     u"\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A"
     u"\u266B\u275D\u275E\u301D\u301E\u301F\u30FB\uFF02",
     "\x14\x07\x22\x22\x22\x22\x22\x07\x07\x07\x22\x22\x13\x1B"
     "\x18\x1A\x19\x1D\x12\x17\x07\x1C\x07\x7F\x16\x1E\x10\x1F"
     "\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03\x04\x0D"
     "\x0E\x22\x22\x22\x22\x22\x07\x22"},
    {855,
     u"\u00B6\u00B7\u201C\u201D\u201E\u2022\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8"
     u"\u2219\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C"
     u"\u2640\u2642\u2660\u2663\u2665\u2666",
     "\x14\x07\x22\x22\x22\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17"
     "\x07\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F"
     "\x0C\x0B\x7F\x7F\x7F\x7F"},
    {857,
     u"\u02BA\u02C9\u030E\u201C\u201D\u201E\u2022\u2024\u2026\u2033\u2035\u203C\u2190\u2191"
     u"\u2192\u2193\u2194\u2195\u21A8\u2219\u221F\u22C5\u2302\u25AC\u25B2\u25BA\u25BC\u25C4"
     u"\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B"
     u"\u275D\u275E\u301D\u301E\u301F\u30FB\uFF02",
     "\x22\x16\x22\x22\x22\x22\x07\x07\x07\x22\x22\x13\x1B\x18"
     "\x1A\x19\x1D\x12\x17\x07\x1C\x07\x7F\x16\x1E\x10\x1F\x11"
     "\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E"
     "\x22\x22\x22\x22\x22\x07\x22"},
    {860,
     u"\u00A4\u00A7\u00A8\u00AF\u00B6\u02BA\u02C9\u0304\u0305\u0308\u030E\u201C\u201D\u201E"
     u"\u2022\u2024\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u22C5\u2302\u25AC"
     u"\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663"
     u"\u2665\u2666\u266A\u266B\u30FB",
     "\x0F\x15\x22\x16\x14\x22\x16\x16\x16\x22\x22\x22\x22\x22"
     "\x07\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x07\x7F\x16"
     "\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05"
     "\x03\x04\x0D\x0E\x07"},
    {861,
     u"\u00A4\u00A7\u00A8\u00AF\u00B6\u02BA\u02C9\u0304\u0305\u0308\u030E\u201C\u201D\u201E"
     u"\u2022\u2024\u2026\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u22C5\u2302"
     u"\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660"
     u"\u2663\u2665\u2666\u266A\u266B\u30FB",
     "\x0F\x15\x22\x16\x14\x22\x16\x16\x16\x22\x22\x22\x22\x22"
     "\x07\x07\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x07\x7F"
     "\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06"
     "\x05\x03\x04\x0D\x0E\x07"},
    {862,
     u"\u00A4\u00A7\u00A8\u00B6\u02BA\u0308\u030E\u201C\u201D\u2022\u203C\u20DD\u2190\u2191"
     u"\u2192\u2193\u2194\u2195\u21A8\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8"
     u"\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B\u3007\uFF02",
     "\x0F\x15\x22\x14\x22\x22\x22\x22\x22\x07\x13\x09\x1B\x18"
     "\x1A\x19\x1D\x12\x17\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08"
     "\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E\x09\x22"},
    {863,
     u"\u00AD\u02B9\u02C9\u0304\u0305\u201C\u201D\u201E\u2022\u2024\u2026\u203C\u2190\u2191"
     u"\u2192\u2193\u2194\u2195\u21A8\u221F\u22C5\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB"
     u"\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B\u30FB",
     "\x16\x22\x16\x16\x16\x22\x22\x22\x07\x07\x07\x13\x1B\x18"
     "\x1A\x19\x1D\x12\x17\x1C\x07\x7F\x16\x1E\x10\x1F\x11\x09"
     "\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03\x04\x0D\x0E\x07"},
    {864,
     u"\u00A7\u00B6\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u2302\u2550\u2551"
     u"\u2554\u2557\u255A\u255D\u2560\u2563\u2566\u2569\u256C\u25AC\u25B2\u25BA\u25BC\u25C4"
     u"\u263A\u263C\u266A\u266B",
     "\x15\x14\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x7F\x05\x06"
     "\x0D\x0C\x0E\x0F\x0A\x08\x09\x0B\x07\x16\x1E\x10\x1F\x11"
     "\x01\x04\x02\x03"},
    {865,
     u"\u00A7\u00A8\u00AF\u00B6\u02BA\u02C9\u0304\u0305\u0308\u030E\u201C\u201D\u201E\u2022"
     u"\u2024\u2026\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u22C5\u2302\u25AC"
     u"\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663"
     u"\u2665\u2666\u266A\u266B\u30FB",
     "\x15\x22\x16\x14\x22\x16\x16\x16\x22\x22\x22\x22\x22\x07"
     "\x07\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x07\x7F\x16"
     "\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05"
     "\x03\x04\x0D\x0E\x07"},
    {866,
     u"\u00A7\u00B6\u201C\u201D\u201E\u2022\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8"
     u"\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640"
     u"\u2642\u2660\u2663\u2665\u2666\u266A\u266B\uFF02",
     "\x15\x14\x22\x22\x22\x07\x13\x1B\x18\x1A\x19\x1D\x12\x17"
     "\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C"
     "\x0B\x06\x05\x03\x04\x0D\x0E\x22"},
    {869,
     u"\u00B6\u2013\u2014\u201C\u201D\u201E\u2022\u203C\u2190\u2191\u2192\u2193\u2194\u2195"
     u"\u21A8\u221F\u2302\u25AC\u25B2\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C"
     u"\u2640\u2642\u2660\u2663\u2665\u2666\u266A\u266B",
     "\x14\x16\x16\x22\x22\x22\x07\x13\x1B\x18\x1A\x19\x1D\x12"
     "\x17\x1C\x7F\x16\x1E\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F"
     "\x0C\x0B\x06\x05\x03\x04\x0D\x0E"},
    {874,
     u"\u00A7\u00B6\u203C\u2190\u2191\u2192\u2193\u2194\u2195\u21A8\u221F\u2302\u25AC\u25B2"
     u"\u25BA\u25BC\u25C4\u25CB\u25D8\u25D9\u263A\u263B\u263C\u2640\u2642\u2660\u2663\u2665"
     u"\u2666\u266A\u266B\uFF02",
     "\x15\x14\x13\x1B\x18\x1A\x19\x1D\x12\x17\x1C\x7F\x16\x1E"
     "\x10\x1F\x11\x09\x08\x0A\x01\x02\x0F\x0C\x0B\x06\x05\x03"
     "\x04\x0D\x0E\x22"},
    {1250, u"\u02BA\u030E\uFF02", "\x22\x22\x22"},
    {1251, u"\uFF02", "\x22"},
    {1252, u"\u02BA\u030E\uFF02", "\x22\x22\x22"},
    {1253, u"\uFF02", "\x22"},
    {1254, u"\u02BA\u301D\u301E\uFF02", "\x22\x22\x22\x22"},
    {1255, u"\uFF02", "\x22"},
    {1256, u"\uFF02", "\x22"},
    {1257, u"\uFF02", "\x22"},
    {1258, u"\uFF02", "\x22"},
};

constexpr bool EveryCharacterHasItsByte() {
  for (const PageBestFit& entry : kBestFit) {
    if (entry.from.size() != entry.to.size()) return false;
  }
  return true;
}
static_assert(EveryCharacterHasItsByte());

}  // namespace

std::optional<char> BestFitByte(std::uint32_t codePage, char16_t c) {
  for (const PageBestFit& entry : kBestFit) {
    if (entry.page != codePage) continue;
    const std::size_t at = entry.from.find(c);
    if (at == std::u16string_view::npos) return std::nullopt;
    return entry.to[at];
  }
  return std::nullopt;
}

}  // namespace nebrin::platform::native
