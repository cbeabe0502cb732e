// The printer list: the printers the user can print to, with the default printer marked.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace {

using nebrin::platform::kSuccess;

constexpr std::uint32_t kEnumFlags =
    nebrin::platform::kPrinterEnumLocal | nebrin::platform::kPrinterEnumConnections;  // 6
constexpr std::uint32_t kDefaultNameCapacity = 256;

bool Enumerate(std::vector<std::u16string>& names) {
  return nebrin::platform::Current().spooler().EnumeratePrinters(kEnumFlags, names) == kSuccess;
}

}  // namespace

int CNetInfoRetrieve::GetTotalPrtCount() {
  return nebrin::frame::Guarded(0, [] {
    std::vector<std::u16string> names;
    if (!Enumerate(names)) return 0;
    return static_cast<int>(names.size());
  });
}

int CNetInfoRetrieve::GetTotoalPrinterInfo(int& count, PrinterInfostr* printers) {
  return nebrin::frame::Guarded(0, [&] {
    std::vector<std::u16string> names;
    if (!Enumerate(names)) return 0;
    const int available = static_cast<int>(names.size());
    if (count > available) count = available;
    if (count < 1 || printers == nullptr) return 0;
    std::u16string defaultName;
    if (nebrin::platform::Current().spooler().GetDefaultPrinter(kDefaultNameCapacity,
                                                                defaultName) != kSuccess) {
      return 0;
    }
    for (int i = 0; i < count; ++i) {
      // A name longer than the field is cut short inside it; the mark compares the whole name.
      nebrin::frame::SetField(printers[i].strPrinterName, names[i]);
      printers[i].bIsDefault = names[i] == defaultName ? 1 : 0;
    }
    return 1;
  });
}
