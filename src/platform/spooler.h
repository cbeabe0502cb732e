// Print spooler service: printer enumeration (EnumPrintersW, local printers and the user's
// connections, level 2) and the default-printer entry points (ordinals 203 and 204 of
// "WINSPOOL.DRV").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace nebrin::platform {

inline constexpr std::uint32_t kPrinterEnumLocal = 2;        // PRINTER_ENUM_LOCAL
inline constexpr std::uint32_t kPrinterEnumConnections = 4;  // PRINTER_ENUM_CONNECTIONS
inline constexpr Status kInvalidPrinterName = 1801;          // ERROR_INVALID_PRINTER_NAME

class Spooler {
 public:
  virtual ~Spooler() = default;

  // EnumPrintersW(flags, no server, level 2): the size query, a zero-filled local block of that
  // size, the filling call; the printers' names (pPrinterName) in the spooler's order.
  virtual Status EnumeratePrinters(std::uint32_t flags, std::vector<std::u16string>& names) = 0;
  // The query-default-printer entry point with a buffer of `capacity` characters, terminator
  // included: kFileNotFound when no default printer is set, kInsufficientBuffer when the name does
  // not fit.
  virtual Status GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) = 0;
  // The set-default-printer entry point.
  virtual Status SetDefaultPrinter(std::u16string_view name) = 0;
};

}  // namespace nebrin::platform
