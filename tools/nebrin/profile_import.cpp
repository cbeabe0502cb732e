#include "profile_import.h"

#include <algorithm>
#include <iterator>

namespace nebrin::host {
namespace {

template <std::size_t N>
std::u16string Field16(const NebrinChar (&field)[N]) {
  std::u16string text;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i) text.push_back(static_cast<char16_t>(field[i]));
  return text;
}

template <std::size_t N>
bool Same(const NebrinChar (&a)[N], const NebrinChar (&b)[N]) {
  return Field16(a) == Field16(b);
}

std::vector<AdapterInfoStr> ThisMachinesAdapters() {
  HostProfile live;
  CCommonFtn().InitStructure(&live.env, live.adapters);
  if (CNetInfoRetrieve().IPRetrieve(&live.env, live.adapters) != 1) {
    throw Refusal("this machine's adapters could not be read (or it has none), so the file's "
                  "adapters cannot be matched to them");
  }
  return {live.adapters, live.adapters + live.env.AdapterCount};
}

// "NAME (k)", with NAME shortened where the whole would not fit a profile name.
std::u16string Numbered(const std::u16string& name, int k) {
  const std::string digits = " (" + std::to_string(k) + ")";
  const std::u16string suffix(digits.begin(), digits.end());
  const std::size_t room = std::size(EnvInfoStr{}.ProfileName) - 1 - suffix.size();
  std::u16string base = name.substr(0, std::min(name.size(), room));
  // Never keep half of a surrogate pair.
  if (base.size() < name.size() && !base.empty() && base.back() >= 0xD800 && base.back() < 0xDC00) {
    base.pop_back();
  }
  return base + suffix;
}

bool Free(const std::u16string& name, const std::vector<std::u16string>& chosen) {
  if (std::find(chosen.begin(), chosen.end(), name) != chosen.end()) return false;
  std::vector<NebrinChar> wide(name.begin(), name.end());
  wide.push_back(0);
  return CNetInfoRetrieve().CanUseThisName(wide.data()) == 1;
}

// The name each profile is stored under: its own when free (in the store and among the names
// this import has chosen), else with --rename the first free "NAME (k)", k = 2, 3, ...
std::vector<std::u16string> ChooseNames(const std::vector<FileProfile>& profiles, bool rename) {
  std::vector<std::u16string> chosen;
  for (const FileProfile& f : profiles) {
    const std::u16string wanted = Field16(f.profile.env.ProfileName);
    std::u16string name = wanted;
    for (int k = 2; !Free(name, chosen); ++k) name = Numbered(wanted, k);
    if (name != wanted && !rename) {
      const bool inFile = std::find(chosen.begin(), chosen.end(), wanted) != chosen.end();
      throw Refusal(f.place + ": " +
                    (inFile ? "an earlier profile of the file has the same name"
                            : "a profile named \"" + ToUtf8(wanted) + "\" already exists") +
                    "; --rename stores it as \"" + ToUtf8(name) + "\"");
    }
    chosen.push_back(name);
  }
  return chosen;
}

// What the store gives back for a profile is what was meant to be stored: the fields loading
// reads (those of its role, a DHCP adapter's identity and mode, since its addresses are its
// current lease's).
bool StoredWhole(const HostProfile& meant, const HostProfile& loaded) {
  const EnvInfoStr& m = meant.env;
  const EnvInfoStr& l = loaded.env;
  bool same = Same(m.ProfileName, l.ProfileName) && m.nProfileKey == l.nProfileKey &&
              m.IconIndex == l.IconIndex && m.AdapterCount == l.AdapterCount &&
              m.bDefaultPrinterFlag == l.bDefaultPrinterFlag && m.nICSFlag == l.nICSFlag;
  if (m.bDefaultPrinterFlag == 1) same = same && Same(m.strPrinterName, l.strPrinterName);
  if (m.nICSFlag == 1) {
    same = same && Same(m.strPublicDevGUID, l.strPublicDevGUID) && m.bICFFlag == l.bICFFlag;
  }
  const bool sharing = m.nICSFlag == 1 || m.nICSFlag == 2;
  if (sharing) {
    same = same && Same(m.strPrivateDevGUID, l.strPrivateDevGUID) &&
           m.bPrivateWlan == l.bPrivateWlan;
  }
  if (sharing && m.bPrivateWlan == 1) {
    same = same && Same(m.strWLANConnectionName, l.strWLANConnectionName) &&
           m.bWLANWebKeyUse == l.bWLANWebKeyUse &&
           (m.bWLANWebKeyUse != 1 || Same(m.strWLANPassWord, l.strWLANPassWord));
  }
  for (int i = 0; same && i < m.AdapterCount; ++i) {
    const AdapterInfoStr& a = meant.adapters[i];
    const AdapterInfoStr& b = loaded.adapters[i];
    same = Same(a.AdapterName, b.AdapterName) && Same(a.ConnectionName, b.ConnectionName) &&
           Same(a.DeviceDesc, b.DeviceDesc) && Same(a.MediaSubType, b.MediaSubType) &&
           Same(a.DhcpEnabled, b.DhcpEnabled);
    if (same && Field16(a.DhcpEnabled) == u"no") {
      same = Same(a.IpAddressList, b.IpAddressList) && Same(a.SubnetMask, b.SubnetMask) &&
             Same(a.Metric, b.Metric) && Same(a.GatewayList, b.GatewayList) &&
             Same(a.PrimaryDnsServer, b.PrimaryDnsServer) &&
             Same(a.SecondaryDnsServer, b.SecondaryDnsServer) &&
             Same(a.PrimaryWinsServer, b.PrimaryWinsServer) &&
             Same(a.SecondaryWinsServer, b.SecondaryWinsServer);
    }
  }
  return same;
}

// Deletes the profiles this import stored, newest first, and recounts "ProfileCount" (a store
// that could not create its profile key leaves it one higher). Always throws ImportFailed.
[[noreturn]] void Undo(const std::vector<int>& numbers, const std::string& failure) {
  CNetInfoManage manage;
  std::string left;
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    if (manage.DeleteSelectProfile(*it) != 1) left += (left.empty() ? "" : ", ") + std::to_string(*it);
  }
  const bool recounted = manage.SetProfileCount() == 1;
  if (!left.empty()) {
    throw ImportFailed(failure + ", and undoing the import failed: profiles " + left +
                       " of this import remain in the store");
  }
  if (!recounted) {
    throw ImportFailed(failure + ", so the import was undone, but the store's next profile "
                                 "number could not be recounted");
  }
  throw ImportFailed(failure + ", so the import was undone: nothing of it was kept");
}

}  // namespace

ImportReport ImportProfiles(std::vector<FileProfile> profiles, const ImportOptions& options) {
  ImportReport report;
  std::vector<AdapterInfoStr> here;
  if (NeedsAdapters(profiles) || !options.maps.empty()) here = ThisMachinesAdapters();
  report.adapterNotes = MapAdapters(profiles, here, options.maps);
  const std::vector<std::u16string> names = ChooseNames(profiles, options.rename);

  std::vector<int> stored;
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    FileProfile& f = profiles[i];
    EnvInfoStr& env = f.profile.env;
    ImportedProfile imported;
    imported.nameInFile = FieldUtf8(env.ProfileName);
    imported.name = ToUtf8(names[i]);
    SetText(env.ProfileName, imported.name, "the name");
    env.nProfileKey = -1;
    const int saved = CNetInfoManage().SaveProfileInfoToRegistry(&env, f.profile.adapters, 1);
    // The first store into an empty registry keeps its profile key 0 when it fails late.
    if (saved == 1 || env.nProfileKey == 0) stored.push_back(env.nProfileKey);
    if (saved != 1) Undo(stored, f.place + " could not be stored");
    HostProfile loaded;
    if (!LoadProfile(env.nProfileKey, loaded) || !StoredWhole(f.profile, loaded)) {
      Undo(stored, f.place + " was not stored whole");
    }
    imported.number = env.nProfileKey;
    imported.adapterCount = env.AdapterCount;
    imported.keyTextLeftOut = (env.nICSFlag == 1 || env.nICSFlag == 2) && env.bPrivateWlan == 1 &&
                              env.bWLANWebKeyUse == 1 && !f.keyTextGiven;
    report.profiles.push_back(imported);
  }
  return report;
}

}  // namespace nebrin::host
