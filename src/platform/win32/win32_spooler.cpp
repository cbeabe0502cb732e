#include "platform/win32/win32_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <cwchar>
#include <vector>

#include "platform/win32/wide_text.h"

// winspool.h maps these names to its own entry points; here they are the service's members.
#undef GetDefaultPrinter
#undef SetDefaultPrinter

namespace nebrin::platform::win32 {
namespace {

constexpr WORD kGetDefaultPrinterOrdinal = 203;
constexpr WORD kSetDefaultPrinterOrdinal = 204;

using GetDefaultPrinterFn = BOOL(WINAPI*)(LPWSTR, LPDWORD);
using SetDefaultPrinterFn = BOOL(WINAPI*)(LPCWSTR);

// A zero-filled local memory block, freed through its handle.
class LocalBlock {
 public:
  explicit LocalBlock(SIZE_T bytes) : block_(LocalAlloc(LMEM_ZEROINIT, bytes)) {}
  ~LocalBlock() {
    if (block_ != nullptr) LocalFree(LocalHandle(block_));
  }
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;
  BYTE* get() const { return static_cast<BYTE*>(block_); }

 private:
  HLOCAL block_;
};

// The spooler's library, loaded for one call.
class SpoolerModule {
 public:
  SpoolerModule() : module_(LoadLibraryW(L"WINSPOOL.DRV")) {}
  ~SpoolerModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  SpoolerModule(const SpoolerModule&) = delete;
  SpoolerModule& operator=(const SpoolerModule&) = delete;

  // The entry point of an ordinal as a function of type Fn, or null.
  template <typename Fn>
  Fn Ordinal(WORD ordinal) const {
    if (module_ == nullptr) return nullptr;
    // Through void(*)(), the generic function pointer, to the entry point's real type.
    return reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, MAKEINTRESOURCEA(ordinal))));
  }

 private:
  HMODULE module_;
};

Status LastError() {
  const DWORD error = GetLastError();
  return error != 0 ? static_cast<Status>(error) : static_cast<Status>(ERROR_GEN_FAILURE);
}

}  // namespace

Status Win32Spooler::EnumeratePrinters(std::uint32_t flags, std::vector<std::u16string>& names) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (!EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &returned) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return LastError();
  }
  LocalBlock block(needed + 4);
  if (block.get() == nullptr) return kNotEnoughMemory;
  if (!EnumPrintersW(flags, nullptr, 2, block.get(), needed + 4, &needed, &returned)) {
    return LastError();
  }
  const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(block.get());
  std::vector<std::u16string> listed;
  for (DWORD i = 0; i < returned; ++i) {
    const wchar_t* name = printers[i].pPrinterName;
    listed.push_back(name != nullptr ? FromWin(name) : std::u16string());
  }
  names = std::move(listed);
  return kSuccess;
}

Status Win32Spooler::GetDefaultPrinter(std::uint32_t capacity, std::u16string& name) {
  SpoolerModule spooler;
  auto query = spooler.Ordinal<GetDefaultPrinterFn>(kGetDefaultPrinterOrdinal);
  if (query == nullptr) return LastError();
  std::vector<wchar_t> buffer(capacity + 1, L'\0');
  DWORD size = capacity;
  if (!query(buffer.data(), &size)) return LastError();
  name = FromWin({buffer.data(), wcsnlen(buffer.data(), capacity)});
  return kSuccess;
}

Status Win32Spooler::SetDefaultPrinter(std::u16string_view name) {
  SpoolerModule spooler;
  auto set = spooler.Ordinal<SetDefaultPrinterFn>(kSetDefaultPrinterOrdinal);
  if (set == nullptr) return LastError();
  const std::wstring text = ToWin(name);
  if (!set(text.c_str())) return LastError();
  return kSuccess;
}

}  // namespace nebrin::platform::win32
