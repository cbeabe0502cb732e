#include "applied_profile.h"

#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "profile_file.h"

namespace nebrin::host {
namespace {

// The top-level member a copy has when the profile's sharing-host set-up did not complete.
constexpr const char* kIncomplete = "setUpIncomplete";

std::string CannotRead(const std::filesystem::path& file, const std::string& why) {
  return ShownPath(file) + " (the copy of the profile applied last) " + why +
         "; which profile is in force is not known: apply with --from M (the profile in force) "
         "or --from none, which keeps a new copy";
}

// The profile with its DHCP adapters' lease left out.
HostProfile WithoutLeases(const HostProfile& profile) {
  HostProfile p = profile;
  for (int i = 0; i < p.env.AdapterCount && i < NEBRIN_ADAPTER_RECORDS; ++i) {
    AdapterInfoStr& a = p.adapters[i];
    if (FieldUtf8(a.DhcpEnabled) != "yes") continue;
    for (NebrinChar* field : {a.IpAddressList, a.SubnetMask, a.GatewayList, a.PrimaryDnsServer,
                              a.SecondaryDnsServer, a.PrimaryWinsServer, a.SecondaryWinsServer}) {
      field[0] = 0;
    }
  }
  return p;
}

}  // namespace

std::string ShownPath(const std::filesystem::path& file) {
  const std::u8string text = file.u8string();
  return std::string(text.begin(), text.end());
}

std::optional<AppliedProfile> ReadAppliedProfile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    if (error) throw Refusal(CannotRead(file, "cannot be looked at: " + error.message()));
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in || in.bad()) throw Refusal(CannotRead(file, "cannot be read"));
  std::vector<FileProfile> profiles;
  AppliedProfile applied;
  // A document that does not parse is left to the reader, whose sentence says where.
  nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, false);
  try {
    // The copy's own member, beside the profile file's: an incomplete set-up.
    if (doc.is_object() && doc.contains(kIncomplete)) {
      if (doc[kIncomplete] != true) {
        throw Refusal(std::string("\"") + kIncomplete + "\" must be true, not " +
                      doc[kIncomplete].dump());
      }
      applied.complete = false;
      doc.erase(kIncomplete);
    }
    profiles = ReadProfileFile(doc.is_discarded() ? text.str() : doc.dump());
  } catch (const Refusal& e) {
    throw Refusal(CannotRead(file, std::string("is damaged: ") + e.what()));
  }
  if (profiles.size() != 1) {
    throw Refusal(
        CannotRead(file, "holds " + std::to_string(profiles.size()) + " profiles instead of one"));
  }
  applied.profile = profiles[0].profile;
  // The reader gives a profile of a file no number; this one keeps the number it had here.
  applied.profile.env.nProfileKey = doc["profiles"][0]["nProfileKey"].get<int>();
  return applied;
}

void KeepAppliedProfile(const std::filesystem::path& file, const HostProfile& profile,
                        bool complete) {
  nlohmann::ordered_json doc = ProfileFileJson({profile}, true);
  if (!complete) doc[kIncomplete] = true;
  const std::string text = doc.dump(2) + "\n";
  std::filesystem::path temporary = file;
  temporary += ".new";
  std::error_code error;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) error = std::make_error_code(std::errc::io_error);
  }
  // It holds the wireless key text, as the store does: for the user only.
  if (!error) {
    std::filesystem::permissions(
        temporary, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, error);
  }
  if (!error) std::filesystem::rename(temporary, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw Refusal(ShownPath(file) + " could not be written (" + error.message() + ")");
  }
}

bool ForgetAppliedProfile(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  return !error;
}

bool SameAsApplied(const HostProfile& applied, const HostProfile& stored) {
  return applied.env.nProfileKey == stored.env.nProfileKey &&
         ProfileFileJson({WithoutLeases(applied)}, true) ==
             ProfileFileJson({WithoutLeases(stored)}, true);
}

const char* StoredSinceApplied::Word() const {
  return kind == Kind::Unchanged ? "unchanged" : kind == Kind::Changed ? "changed" : "deleted";
}

std::string StoredSinceApplied::OtherName(const HostProfile& applied) const {
  if (kind != Kind::Changed) return "";
  const std::string name = FieldUtf8(stored.env.ProfileName);
  if (name == FieldUtf8(applied.env.ProfileName)) return "";
  return " (profile " + std::to_string(applied.env.nProfileKey) + " is now \"" + name +
         "\": renamed, or deleted and another profile saved under its number)";
}

StoredSinceApplied CompareWithStore(const HostProfile& applied) {
  StoredSinceApplied since;
  if (!LoadProfile(applied.env.nProfileKey, since.stored)) return since;
  since.kind = SameAsApplied(applied, since.stored) ? StoredSinceApplied::Kind::Unchanged
                                                    : StoredSinceApplied::Kind::Changed;
  return since;
}

HostProfile InForceRecord(const AppliedProfile& applied, const StoredSinceApplied& since) {
  HostProfile record = applied.profile;
  if (!applied.complete || since.kind != StoredSinceApplied::Kind::Unchanged) {
    record.env.nProfileKey = -1;
  }
  return record;
}

}  // namespace nebrin::host
