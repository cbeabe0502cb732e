// UTF-8 <-> UTF-16 for the programs around the library (the simulated machine's files, the host's
// terminal). Lenient: a malformed sequence or a lone surrogate becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace nebrin::text {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace nebrin::text
