// The copy of the profile the host applied last. The profile in force is the record that was
// applied, not the stored profile as it is now (an edit or a deletion since would hide the
// sharing the next application has to take down), so the host keeps that record in the
// profile-file format, one profile with its number and its wireless key text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host_profile.h"

namespace nebrin::host {

// The copy, and whether the profile was applied in full. A sharing host whose set-up failed half
// way is kept too (it may share a connection the next application has to switch off), marked
// incomplete: applying it again must run its whole set-up, not the address rewrite the library
// gives the same host in force.
struct AppliedProfile {
  HostProfile profile;
  bool complete = true;
};

// The copy, or nothing when none was kept. Throws Refusal naming the file when it exists but
// cannot be read as one profile.
std::optional<AppliedProfile> ReadAppliedProfile(const std::filesystem::path& file);

// Keeps `profile` as the copy: written to a temporary file beside it (readable by the user only)
// and renamed over the old copy. Throws Refusal naming the file when it cannot.
void KeepAppliedProfile(const std::filesystem::path& file, const HostProfile& profile,
                        bool complete = true);

// Removes the copy; false when it is there and cannot be removed.
bool ForgetAppliedProfile(const std::filesystem::path& file);

// Whether the stored profile is still the one applied. The addresses a DHCP adapter holds are
// its lease's, refreshed whenever the profile loads, so they are not compared.
bool SameAsApplied(const HostProfile& applied, const HostProfile& stored);

// The stored profile under the copy's number, compared with the copy. Numbers are reused (a new
// profile takes the number of the highest one deleted), so "changed" covers a profile deleted
// and another saved under its number: the store keeps nothing that tells the two apart, and a
// new name does not either, as `rename` keeps the number.
struct StoredSinceApplied {
  enum class Kind { Unchanged, Changed, Deleted } kind = Kind::Deleted;
  HostProfile stored;        // loaded unless deleted (its DHCP adapters with their current lease)
  const char* Word() const;  // "unchanged", "changed", "deleted"
  // For a change, when the stored profile has another name than the copy, the words that say
  // so: " (profile N is now "NAME": renamed, or deleted and another profile saved under its
  // number)"; else "".
  std::string OtherName(const HostProfile& applied) const;
};
StoredSinceApplied CompareWithStore(const HostProfile& applied);

// The record to give ApplySelectProfile as the profile in force: the copy, numbered -1 unless it
// was applied in full and the store still holds it unchanged, so that the library does not take
// a sharing host for the same one in force and rewrite its addresses alone.
HostProfile InForceRecord(const AppliedProfile& applied, const StoredSinceApplied& since);

// The file's name as sentences show it.
std::string ShownPath(const std::filesystem::path& file);

}  // namespace nebrin::host
