// The print spooler service: EnumPrintersW, and the default-printer entry points that
// "WINSPOOL.DRV" exports by ordinal.
#pragma once

#include "platform/spooler.h"

namespace nebrin::platform::win32 {

class Win32Spooler final : public Spooler {
 public:
  Status EnumeratePrinters(std::uint32_t flags, std::vector<std::u16string>& names) override;
  Status GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) override;
  Status SetDefaultPrinter(std::u16string_view name) override;
};

}  // namespace nebrin::platform::win32
