// A profile as the host keeps it, and the library calls every profile command shares: loading
// with a clear refusal, setting record fields from what a person typed, reading numbers.
#pragma once

#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "common/shown_text.h"
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
  const std::u16string wide = ToUtf16(utf8);
  if (wide.size() >= N) {
    throw Refusal(what + " \"" + nebrin::text::Escaped(nebrin::text::Excerpt(utf8)) +
                  "\" is too long (at most " + std::to_string(N - 1) + " characters)");
  }
  for (std::size_t i = 0; i < wide.size(); ++i) field[i] = static_cast<NebrinChar>(wide[i]);
  field[wide.size()] = 0;
}

// The icon numbers the catalogue reads back: every int the store writes ("IconIndex" is read with
// room for any of them).
inline constexpr int kIconMin = std::numeric_limits<int>::min();
inline constexpr int kIconMax = std::numeric_limits<int>::max();
void CheckIcon(long long icon);

// A NUL-terminated copy of a text, for members that take wide text.
std::vector<NebrinChar> WideParam(const std::string& utf8);

// A profile number as typed: decimal digits only.
int ProfileNumber(const std::string& typed);

// The stored profiles: those the catalogue lists, in number order, and the damaged ones, profile
// keys below "ProfileCount" that it passes over or lists without a name and with icon -1 while
// their name or icon cannot be read (as a save or import killed part-way leaves them), which
// `delete N` removes.
struct Catalogue {
  std::vector<NameIndex> entries;
  std::vector<int> damaged;
};

// Reads the catalogue (GetProfileCount, GetNameIndexInfo). A library that fails the whole
// catalogue for one damaged profile is read around: the host then reads the names itself.
Catalogue ReadCatalogue();

// The profiles the catalogue lists, in number order.
std::vector<NameIndex> ListProfiles();

// The sentence for a damaged profile: "profile 3 is damaged (...); `nebrin delete 3` removes it".
std::string DamagedSentence(int number);

// A name read from a store or a file, as it may be shown: control characters spelt out.
std::string Shown(const std::string& utf8);
template <std::size_t N>
std::string ShownField(const NebrinChar (&field)[N]) {
  return Shown(FieldUtf8(field));
}

// Refuses a name typed for the host (or read from a profile file) that holds control characters.
void RefuseControl(const std::string& utf8, const std::string& what);

// Empties the records and loads profile `number` into them; false when it cannot be loaded.
bool LoadProfile(int number, HostProfile& profile);

// The refusal for a profile that could not be loaded: unknown, or stored but unreadable.
[[noreturn]] void RefuseUnloadable(int number);

}  // namespace nebrin::host
