#include "adapter_mapping.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace nebrin::host {
namespace {

static_assert(sizeof(EnvInfoStr::strPublicDevGUID) == sizeof(AdapterInfoStr::AdapterName) &&
              sizeof(EnvInfoStr::strPrivateDevGUID) == sizeof(AdapterInfoStr::AdapterName));

// The sharing GUIDs a profile's role uses (a sharing host: both; a client: the private side).
template <class Env>
auto SharingGuids(Env& e) {
  std::vector<decltype(&e.strPublicDevGUID)> fields;
  if (e.nICSFlag == 1) fields = {&e.strPublicDevGUID, &e.strPrivateDevGUID};
  if (e.nICSFlag == 2) fields = {&e.strPrivateDevGUID};
  return fields;
}

// "Local Area Connection" {GUID}. Appended piece by piece: GCC 12 warns falsely (-Wrestrict)
// about a chain of + that starts with a literal.
std::string Describe(const AdapterInfoStr& a) {
  std::string text = "\"";
  text += FieldUtf8(a.ConnectionName);
  text += "\" ";
  text += FieldUtf8(a.AdapterName);
  return text;
}

std::string AdapterList(const std::vector<AdapterInfoStr>& here) {
  std::string list = "This machine's adapters:";
  for (std::size_t i = 0; i < here.size(); ++i) {
    list += "\n  " + std::to_string(i) + "  " + Describe(here[i]);
  }
  return list;
}

class Matcher {
 public:
  Matcher(const std::vector<AdapterInfoStr>& here, const std::vector<AdapterMap>& maps)
      : here_(here), maps_(maps) {}

  // This machine's adapter for a file's adapter: a --map entry, else the same GUID, else the
  // same connection name.
  std::optional<std::size_t> Find(const std::string& guid, const std::string& connection) const {
    for (const AdapterMap& m : maps_) {
      if (m.guid == guid) return static_cast<std::size_t>(m.index);
    }
    for (std::size_t i = 0; i < here_.size() && !guid.empty(); ++i) {
      if (FieldUtf8(here_[i].AdapterName) == guid) return i;
    }
    for (std::size_t i = 0; i < here_.size() && !connection.empty(); ++i) {
      if (FieldUtf8(here_[i].ConnectionName) == connection) return i;
    }
    return std::nullopt;
  }

  [[noreturn]] void RefuseUnmatched(const std::string& place, const std::string& guid,
                                    const std::string& connection) const {
    std::string what = "this machine has no adapter " + (guid.empty() ? "\"\"" : guid);
    if (!connection.empty()) what += " and none named \"" + connection + "\"";
    if (here_.empty()) throw Refusal(place + ": " + what + ", and no adapter it could use");
    throw Refusal(place + ": " + what + ".\n" + AdapterList(here_) +
                  "\nName the one to use with --map " + (guid.empty() ? "\"\"" : guid) + "=INDEX");
  }

 private:
  const std::vector<AdapterInfoStr>& here_;
  const std::vector<AdapterMap>& maps_;
};

void CheckMaps(std::vector<FileProfile>& profiles, const std::vector<AdapterInfoStr>& here,
               const std::vector<AdapterMap>& maps) {
  for (std::size_t m = 0; m < maps.size(); ++m) {
    const AdapterMap& map = maps[m];
    const std::string typed = "--map " + map.guid + "=" + std::to_string(map.index);
    if (map.index < 0 || static_cast<std::size_t>(map.index) >= here.size()) {
      throw Refusal(typed + ": this machine has " +
                    (here.empty() ? std::string("no adapters")
                                  : "adapters 0 to " + std::to_string(here.size() - 1)));
    }
    for (std::size_t earlier = 0; earlier < m; ++earlier) {
      if (maps[earlier].guid == map.guid) throw Refusal("--map names " + map.guid + " twice");
    }
    bool used = false;
    for (FileProfile& f : profiles) {
      for (int i = 0; i < f.profile.env.AdapterCount; ++i) {
        used = used || FieldUtf8(f.profile.adapters[i].AdapterName) == map.guid;
      }
      for (const auto* guid : SharingGuids(f.profile.env))
        used = used || FieldUtf8(*guid) == map.guid;
    }
    if (!used) throw Refusal(typed + ": no profile in the file uses adapter " + map.guid);
  }
}

}  // namespace

AdapterMap ParseAdapterMap(const std::string& typed) {
  const std::size_t equals = typed.rfind('=');
  const std::string index = equals == std::string::npos ? "" : typed.substr(equals + 1);
  const bool digits = !index.empty() && index.size() <= 2 &&
                      index.find_first_not_of("0123456789") == std::string::npos;
  if (equals == 0 || !digits) {
    throw Refusal(
        "--map takes GUID=INDEX (an adapter GUID of the file and the number of this "
        "machine's adapter, as `nebrin adapters` shows it), not \"" +
        typed + "\"");
  }
  return {typed.substr(0, equals), std::stoi(index)};
}

bool NeedsAdapters(const std::vector<FileProfile>& profiles) {
  return std::any_of(profiles.begin(), profiles.end(), [](const FileProfile& f) {
    const auto sharing = SharingGuids(f.profile.env);
    return f.profile.env.AdapterCount > 0 ||
           std::any_of(sharing.begin(), sharing.end(), [](const auto* g) { return (*g)[0] != 0; });
  });
}

std::vector<std::string> MapAdapters(std::vector<FileProfile>& profiles,
                                     const std::vector<AdapterInfoStr>& here,
                                     const std::vector<AdapterMap>& maps) {
  CheckMaps(profiles, here, maps);
  const Matcher matcher(here, maps);
  std::vector<std::string> notes;
  for (FileProfile& f : profiles) {
    EnvInfoStr& env = f.profile.env;
    // The file's GUIDs of this profile's adapters and where they went, for its sharing GUIDs.
    std::vector<std::pair<std::string, std::size_t>> matched;
    for (int i = 0; i < env.AdapterCount; ++i) {
      AdapterInfoStr& a = f.profile.adapters[i];
      const std::string place = f.place + ", adapter " + std::to_string(i);
      const std::string guid = FieldUtf8(a.AdapterName);
      const auto found = matcher.Find(guid, FieldUtf8(a.ConnectionName));
      if (!found) matcher.RefuseUnmatched(place, guid, FieldUtf8(a.ConnectionName));
      for (std::size_t j = 0; j < matched.size(); ++j) {
        if (matched[j].second == *found) {
          throw Refusal(f.place + ": adapters " + std::to_string(j) + " and " + std::to_string(i) +
                        " would both be this machine's adapter " + std::to_string(*found) + " (" +
                        Describe(here[*found]) + ")");
        }
      }
      matched.emplace_back(guid, *found);
      const AdapterInfoStr& h = here[*found];
      if (FieldUtf8(h.AdapterName) != guid ||
          FieldUtf8(h.ConnectionName) != FieldUtf8(a.ConnectionName)) {
        notes.push_back(place + ": " + Describe(a) + " is this machine's " + Describe(h));
      }
      std::memcpy(a.AdapterName, h.AdapterName, sizeof a.AdapterName);
      std::memcpy(a.ConnectionName, h.ConnectionName, sizeof a.ConnectionName);
      std::memcpy(a.DeviceDesc, h.DeviceDesc, sizeof a.DeviceDesc);
      std::memcpy(a.MediaSubType, h.MediaSubType, sizeof a.MediaSubType);
    }
    for (auto* field : SharingGuids(env)) {
      const std::string guid = FieldUtf8(*field);
      if (guid.empty()) continue;
      // A sharing adapter that is one of the profile's adapters goes where that adapter went.
      std::optional<std::size_t> found;
      for (const auto& [fileGuid, index] : matched) {
        if (fileGuid == guid) found = index;
      }
      if (!found) found = matcher.Find(guid, "");
      const char* name = field == &env.strPublicDevGUID ? "strPublicDevGUID" : "strPrivateDevGUID";
      if (!found) matcher.RefuseUnmatched(f.place + ", sharing adapter \"" + name + "\"", guid, "");
      if (FieldUtf8(here[*found].AdapterName) != guid) {
        notes.push_back(f.place + ": \"" + name + "\" " + guid + " is this machine's " +
                        Describe(here[*found]));
      }
      std::memcpy(*field, here[*found].AdapterName, sizeof here[*found].AdapterName);
    }
  }
  return notes;
}

}  // namespace nebrin::host
