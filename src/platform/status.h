// Result codes of the platform seam: the Win32 error numbers the library's algorithms test for.
#pragma once

#include <cstdint>

namespace nebrin::platform {

using Status = std::uint32_t;

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;         // ERROR_FILE_NOT_FOUND
inline constexpr Status kAccessDenied = 5;         // ERROR_ACCESS_DENIED
inline constexpr Status kInvalidHandle = 6;        // ERROR_INVALID_HANDLE
inline constexpr Status kNotEnoughMemory = 8;      // ERROR_NOT_ENOUGH_MEMORY
inline constexpr Status kNotSupported = 50;        // ERROR_NOT_SUPPORTED
inline constexpr Status kInvalidParameter = 87;    // ERROR_INVALID_PARAMETER
inline constexpr Status kBufferOverflow = 111;     // ERROR_BUFFER_OVERFLOW
inline constexpr Status kCallNotImplemented = 120; // ERROR_CALL_NOT_IMPLEMENTED
inline constexpr Status kInsufficientBuffer = 122; // ERROR_INSUFFICIENT_BUFFER
inline constexpr Status kNoData = 232;             // ERROR_NO_DATA
inline constexpr Status kMoreData = 234;           // ERROR_MORE_DATA
inline constexpr Status kNoMoreItems = 259;        // ERROR_NO_MORE_ITEMS
inline constexpr Status kNotOwner = 288;           // ERROR_NOT_OWNER
inline constexpr Status kKeyDeleted = 1018;        // ERROR_KEY_DELETED
inline constexpr Status kNoUnicodeTranslation = 1113;  // ERROR_NO_UNICODE_TRANSLATION

}  // namespace nebrin::platform
