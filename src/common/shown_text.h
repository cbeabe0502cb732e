// Text from files and stores shown to a person: cut to a short excerpt, and with control
// characters spelt out, so a hostile name can neither flood a message nor drive the terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nebrin::text {

// At most `maxCharacters` characters of `utf8` (whole UTF-8 sequences), followed by "..." and the
// full length in bytes when it was cut.
std::string Excerpt(std::string_view utf8, std::size_t maxCharacters = 60);

// True for the characters a terminal may act on: C0 controls, DEL and the C1 controls
// (U+0080 to U+009F).
bool IsControl(char32_t c);

// Whether `utf8` holds a control character (IsControl).
bool HasControl(std::string_view utf8);

// `utf8` with every control character written out as in JSON: "\n", "\t", "\r", else "\u00NN"
// (ESC is "\u001B", DEL "\u007F", U+0085 "\u0085"); a backslash stays as it is. Malformed UTF-8
// bytes pass through.
std::string Escaped(std::string_view utf8);

}  // namespace nebrin::text
