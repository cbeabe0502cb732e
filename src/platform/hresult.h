// COM status values (HRESULT) as the seam's COM-like services answer them.
#pragma once

#include <cstdint>

namespace nebrin::platform {

using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kENotImpl = static_cast<HResult>(0x80004001u);
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kEPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);  // REGDB_E_CLASSNOTREG
inline constexpr HResult kChangedMode = static_cast<HResult>(0x80010106u);  // RPC_E_CHANGED_MODE

inline constexpr bool Failed(HResult result) { return result < 0; }

// HRESULT_FROM_WIN32: a positive error becomes (error AND 0xFFFF) OR 0x80070000; zero and values
// that are negative as an HRESULT pass through unchanged.
inline constexpr HResult HResultFromWin32(std::uint32_t error) {
  return static_cast<HResult>(error) <= 0 ? static_cast<HResult>(error)
                                          : static_cast<HResult>((error & 0xFFFFu) | 0x80070000u);
}

}  // namespace nebrin::platform
