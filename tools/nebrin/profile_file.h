// The profile file: stored profiles with their adapters as a versioned JSON document, for backups
// and for carrying profiles to another machine (docs/profile-file.md describes it).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "host_profile.h"

namespace nebrin::host {

inline constexpr const char* kProfileFileFormat = "nebrin-profiles";
inline constexpr int kProfileFileVersion = 1;
// Larger or more deeply nested files are refused before they are parsed further: the layout nests
// five levels, and a thousand profiles take about 4 MiB.
inline constexpr std::size_t kProfileFileMaxBytes = 16u * 1024 * 1024;
inline constexpr int kProfileFileMaxDepth = 16;

// The document holding `profiles` in this order, members in the records' order. The wireless
// key text is written only when `withSecrets` is set.
nlohmann::ordered_json ProfileFileJson(const std::vector<HostProfile>& profiles, bool withSecrets);

// One profile read from a file. Its records are filled as far as the file says; `nProfileKey`
// is -1, as for a profile never stored here.
struct FileProfile {
  HostProfile profile;
  bool keyTextGiven = false;  // the file holds "strWLANPassWord"
  std::string place;          // how refusals name it: the 2nd profile ("Office")
};

// Reads and checks a whole document before anything is done with it: format and version, every
// member's type, texts within their fields' capacity, dotted IPv4 addresses, flags 0 or 1,
// roles and modes from their sets, at most ten adapters. Throws Refusal with one sentence
// naming the profile and the field.
std::vector<FileProfile> ReadProfileFile(std::string_view text);

}  // namespace nebrin::host
