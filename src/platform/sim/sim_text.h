// Text helpers of the simulated machine: UTF-8 <-> UTF-16 (the registry keeps UTF-16LE bytes) and
// the case folding Windows applies to key and value names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nebrin::sim {

// Lenient conversions: a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// True when every surrogate is part of a pair, so the text survives a trip through UTF-8.
bool IsWellFormed(std::u16string_view utf16);

// UTF-16LE bytes of a registry value; a trailing odd byte is ignored by BytesToUtf16.
std::vector<std::uint8_t> Utf16ToBytes(std::u16string_view utf16);
std::u16string BytesToUtf16(const std::vector<std::uint8_t>& bytes);

// The first string of a string value: its text up to the first NUL.
std::u16string FirstString(const std::vector<std::uint8_t>& bytes);

// REG_MULTI_SZ in its regular shape: every item followed by a NUL, then one more NUL.
std::vector<std::uint8_t> EncodeMultiString(const std::vector<std::u16string>& items);
// The items of a REG_MULTI_SZ whose bytes have exactly the regular shape (no empty item, nothing
// after the final NUL, well-formed text); nullopt otherwise.
std::optional<std::vector<std::u16string>> DecodeCanonicalMultiString(
    const std::vector<std::uint8_t>& bytes);
// The text of a REG_SZ whose bytes are well-formed text followed by exactly one NUL.
std::optional<std::u16string> DecodeCanonicalString(const std::vector<std::uint8_t>& bytes);

// Upper-case form used to compare names: names that differ only in letter case are the same.
std::u16string FoldName(std::u16string_view name);
bool SameName(std::u16string_view a, std::u16string_view b);

}  // namespace nebrin::sim
