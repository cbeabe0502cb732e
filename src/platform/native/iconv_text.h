// Code-page conversion through iconv, for the platforms that run on Linux.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace nebrin::platform::native {

// The iconv name of a Windows code page number ("CP1252", "UTF-8" for 65001).
std::string IconvName(std::uint32_t codePage);

// MultiByteToWideChar: kNoUnicodeTranslation when a byte sequence has no meaning in the page,
// kInvalidParameter when iconv does not know the page.
Status BytesToWide(std::uint32_t codePage, std::string_view text, std::u16string& wide);

// WideCharToMultiByte: a character the page cannot hold becomes '?', as with the system's
// default character.
Status WideToBytes(std::uint32_t codePage, std::u16string_view wide, std::string& text);

}  // namespace nebrin::platform::native
