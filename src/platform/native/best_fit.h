// Windows' best-fit mappings. WideCharToMultiByte without WC_NO_BEST_FIT_CHARS turns a character
// the code page lacks into a look-alike the page has, where the page's table names one.
#pragma once

#include <cstdint>
#include <optional>

namespace nebrin::platform::native {

// The byte Windows' best-fit table of `codePage` gives `c`, for the mappings onto bytes that
// change what a program reading the text does: the control bytes 0x01 to 0x1F, the double quote
// and DEL (U+FF02 to '"' on the ANSI pages; U+266A to CR and U+25D9 to LF on the OEM pages, whose
// glyphs those are). Other best-fit mappings (accented letters onto plain ones) are not modelled.
std::optional<char> BestFitByte(std::uint32_t codePage, char16_t c);

}  // namespace nebrin::platform::native
