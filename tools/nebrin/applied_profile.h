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

// The copy, or nothing when none was kept. Throws Refusal naming the file when it exists but
// cannot be read as one profile.
std::optional<HostProfile> ReadAppliedProfile(const std::filesystem::path& file);

// Keeps `profile` as the copy: written to a temporary file beside it (readable by the user only)
// and renamed over the old copy. Throws Refusal naming the file when it cannot.
void KeepAppliedProfile(const std::filesystem::path& file, const HostProfile& profile);

// Removes the copy; false when it is there and cannot be removed.
bool ForgetAppliedProfile(const std::filesystem::path& file);

// Whether the stored profile is still the one applied. The addresses a DHCP adapter holds are
// its lease's, refreshed whenever the profile loads, so they are not compared.
bool SameAsApplied(const HostProfile& applied, const HostProfile& stored);

// The file's name as sentences show it.
std::string ShownPath(const std::filesystem::path& file);

}  // namespace nebrin::host
