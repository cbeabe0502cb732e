// Code-page conversion through iconv, for the platforms that run on Linux.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace nebrin::platform::native {

// The iconv name of a Windows code page number ("CP1252", "UTF-8" for 65001).
std::string IconvName(std::uint32_t codePage);

// MultiByteToWideChar without flags: a byte sequence the page does not define becomes the
// character Windows gives it (never a failure); kInvalidParameter when iconv does not know the
// page.
Status BytesToWide(std::uint32_t codePage, std::string_view text, std::u16string& wide);

// WideCharToMultiByte without flags: a character the page cannot hold becomes its best fit
// (best_fit.h) or else '?', the system's default character.
Status WideToBytes(std::uint32_t codePage, std::u16string_view wide, std::string& text);

}  // namespace nebrin::platform::native
