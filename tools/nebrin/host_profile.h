// A profile as the host keeps it, and the library calls every profile command shares: loading
// with a clear refusal, setting record fields from what a person typed, reading numbers.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "host_text.h"

namespace nebrin::host {

struct HostProfile {
  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
};

// A refusal: the command stops with this sentence and a non-zero exit status.
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stores `utf8` in a record field; refuses a text the field cannot hold, naming `what`.
template <std::size_t N>
void SetText(NebrinChar (&field)[N], const std::string& utf8, const std::string& what) {
  const std::u16string text = ToUtf16(utf8);
  if (text.size() >= N) {
    throw Refusal(what + " \"" + utf8 + "\" is too long (at most " + std::to_string(N - 1) +
                  " characters)");
  }
  for (std::size_t i = 0; i < text.size(); ++i) field[i] = static_cast<NebrinChar>(text[i]);
  field[text.size()] = 0;
}

// A NUL-terminated copy of a text, for members that take wide text.
std::vector<NebrinChar> WideParam(const std::string& utf8);

// A profile number as typed: decimal digits only.
int ProfileNumber(const std::string& typed);

// The stored profiles in number order (GetProfileCount, GetNameIndexInfo); refuses when the
// store cannot be read.
std::vector<NameIndex> ListProfiles();

// Empties the records and loads profile `number` into them; false when it cannot be loaded.
bool LoadProfile(int number, HostProfile& profile);

// The refusal for a profile that could not be loaded: unknown, or stored but unreadable.
[[noreturn]] void RefuseUnloadable(int number);

}  // namespace nebrin::host
