// What every fuzz target shares: reading the fuzzer's bytes as a sequence of choices, the checks
// a run must pass (a documented result, nothing left open, every record text terminated), records
// on the heap for AddressSanitizer to guard, and the machines the targets start from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/sim/machine.h"

namespace nebrin::fuzz {

// The fuzzer's bytes read front to back. Past the end every read answers zero or empty, so any
// input, the empty one included, is a whole run.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  std::uint8_t Byte();
  std::uint16_t U16();
  std::uint32_t U32();
  int Int() { return static_cast<int>(U32()); }
  // A small signed number: one byte, -128 to 127.
  int Small() { return static_cast<std::int8_t>(Byte()); }
  // A choice among `count` (count > 0).
  std::size_t Choice(std::size_t count) { return Byte() % count; }
  // A length (two bytes, at most `max`), then that many bytes.
  std::vector<std::uint8_t> Bytes(std::size_t max);
  // A length (one byte, at most `max`), then that many bytes as 8-bit text.
  std::string Text(std::size_t max);
  // A length (two bytes, at most `max`), then that many UTF-16 code units, little-endian.
  std::u16string Units(std::size_t max);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Ends the run when `condition` does not hold: the message goes to standard error and the
// process aborts, which libFuzzer records as a crash with the input that caused it.
void Require(bool condition, std::string_view what);
// The result must be one of the member's documented results.
void RequireResult(int result, std::initializer_list<int> documented, std::string_view member);
// A driver-channel status: 0 for success, negative for an error.
void RequireDriverStatus(int status, std::string_view member);
// Closes a device handle OpenDevice handed out, as its host does.
void CloseDevice(sim::Machine& machine, NebrinHandle device);
// No key, handle, COM apartment or reference left open, no unmatched COM or Winsock call.
void RequireNothingOpen(const sim::Machine& machine, std::string_view after);

// Whether a record text field holds a terminator within its capacity.
template <std::size_t N>
bool Terminated(const NebrinChar (&field)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (field[i] == 0) return true;
  return false;
}

// A profile record and its ten adapter records, each its own heap block, so that a read or
// write past either is a sanitizer report. Filled with a marker byte until a member writes them.
struct HeapProfile {
  HeapProfile();
  HeapProfile(const HeapProfile& other);
  HeapProfile& operator=(const HeapProfile& other);

  std::unique_ptr<EnvInfoStr> env;
  std::unique_ptr<AdapterInfoStr[]> adapters;
};
void Poison(HeapProfile& profile);

// The records as a host has them before it captures or loads a profile: InitStructure, and the
// two adapter fields it keeps (DhcpEnabled, MediaSubType) and the WEP flag emptied as well, so
// that every text is terminated.
void Empty(HeapProfile& profile);

// Every text field of the profile record and of its ten adapter records holds a terminator.
// Members write only terminated texts, so records that start so stay so.
bool AllTextsTerminated(const HeapProfile& profile);

// Sets a field from ASCII text (for building records).
template <std::size_t N>
void Put(NebrinChar (&field)[N], std::string_view ascii) {
  std::size_t i = 0;
  for (; i < ascii.size() && i + 1 < N; ++i) field[i] = static_cast<NebrinChar>(ascii[i]);
  field[i] = 0;
}

// The text of a field up to its terminator or capacity.
template <std::size_t N>
std::u16string FieldText(const NebrinChar (&field)[N]) {
  std::u16string text;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i)
    text.push_back(static_cast<char16_t>(field[i]));
  return text;
}

// Installs a machine as the library's platform for the lifetime of this object.
class Installed {
 public:
  explicit Installed(std::shared_ptr<sim::Machine> machine);
  ~Installed();
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

 private:
  std::shared_ptr<sim::Machine> machine_;
};

// The store root under HKEY_CURRENT_USER, as the registry service takes paths.
inline constexpr char16_t kStoreRoot[] = u"Software\\Corvane\\Nebrin";

// The demo machine with three profiles stored through the library: 0 "Office" (its wired DHCP
// and wireless static adapters), 1 "Host" (a sharing host, wired public and wireless private
// with a WEP key, a default printer), 2 "Client" (a sharing client on the wireless adapter);
// "LastProfileNo" names profile 1. The store is made through the library once; each run gets a
// fresh demo machine with its values.
std::shared_ptr<sim::Machine> StoredDemo();

// Sets the profile's sharing fields: host (1) or client (2) with the demo's wired adapter public
// and its wireless adapter private, or none (0).
void MakeSharing(EnvInfoStr& env, const AdapterInfoStr* adapters, int role);

}  // namespace nebrin::fuzz
