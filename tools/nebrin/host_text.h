// Text between the library's UTF-16 fields and the terminal's UTF-8.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "NebrinCoreDll.h"

namespace nebrin::host {

std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view utf8);

// A file path typed as UTF-8; on Windows it opens through the wide file functions, so a path in
// any language works.
std::filesystem::path PathFromUtf8(const std::string& utf8);
// A path as UTF-8 text to show (on Windows `path::string()` would take the ANSI code page).
std::string PathUtf8(const std::filesystem::path& path);

// The text of a record field, bounded by its capacity.
template <std::size_t N>
std::string FieldUtf8(const NebrinChar (&field)[N]) {
  std::u16string text;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i) text.push_back(static_cast<char16_t>(field[i]));
  return ToUtf8(text);
}

}  // namespace nebrin::host
