#include "profile_commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "applied_profile.h"
#include "host_paths.h"
#include "host_profile.h"
#include "profile_view.h"
#include "sharing_options.h"
#include "store_scan.h"
#include "table.h"

namespace nebrin::host {
namespace {

// Why a new profile was not stored. Another program's save that took the same number at the same
// moment leaves a profile of another name there; a key the failed save left behind (it was not
// there before) is named so that it can be deleted; a store whose next number is already taken
// (left so by an older program) refuses every save until a deletion recounts it.
[[noreturn]] void RefuseUnsaved(const std::string& name, int number,
                                const std::vector<int>& before) {
  const std::string failed = "the profile \"" + Shown(name) + "\" could not be stored";
  const StoreScan scan = ScanStore();
  const bool jammed = scan.profileCount && !scan.numbers.empty() &&
                      *scan.profileCount <= scan.numbers.back();
  if (jammed) {
    throw Refusal(failed + ": the store's next profile number (" +
                  std::to_string(*scan.profileCount) +
                  ") is taken by a stored profile; deleting any profile (`nebrin delete N`) "
                  "recounts it");
  }
  if (number >= 0 && ProfileKeyExists(number)) {
    const std::optional<std::u16string> there = StoredName(number);
    if (there && *there != ToUtf16(name)) {
      throw Refusal(failed + ": another program stored a profile at the same moment; try again");
    }
    if (std::find(before.begin(), before.end(), number) == before.end()) {
      const std::string n = std::to_string(number);
      throw Refusal(failed + " whole: what it wrote is left as profile " + n + " (`nebrin delete " +
                    n + "` removes it)");
    }
  }
  throw Refusal(failed);
}

void RunSave(const HostOptions& options, const std::string& name, int icon,
             const std::optional<std::string>& printer, const SharingChoice& sharing) {
  CheckSharingChoice(sharing);
  if (name.empty()) throw Refusal("a profile needs a name");
  RefuseControl(name, "the name");
  if (printer) RefuseControl(*printer, "the printer name");
  CheckIcon(icon);
  auto session = OpenSession(options);
  HostProfile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  SetText(p.env.ProfileName, name, "the name");
  p.env.IconIndex = icon;
  if (printer) {
    SetText(p.env.strPrinterName, *printer, "the printer name");
    p.env.bDefaultPrinterFlag = 1;
  }
  if (CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters) != 1) {
    throw Refusal("the adapters could not be read, so there is nothing to save");
  }
  ApplySharingChoice(sharing, p);
  const auto wide = WideParam(name);
  if (CNetInfoRetrieve().CanUseThisName(const_cast<NebrinChar*>(wide.data())) != 1) {
    throw Refusal("a profile named \"" + name + "\" already exists");
  }
  const std::vector<int> before = ScanStore().numbers;
  const int stored = CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1);
  session->Commit();
  if (stored != 1) RefuseUnsaved(name, p.env.nProfileKey, before);
  std::cout << "Saved \"" << name << "\" as profile " << p.env.nProfileKey << " with "
            << p.env.AdapterCount << (p.env.AdapterCount == 1 ? " adapter" : " adapters") << ".\n";
  if (sharing.Given()) {
    std::cout << "Profile " << p.env.nProfileKey << ": " << DescribeSharing(p) << ".\n";
  }
}

// The profile in force as `list` marks it, the same one `current` shows: the copy the host kept
// of the profile it applied last, else the store's last applied profile.
struct LastApplied {
  std::optional<int> number;  // none: nothing applied yet, or that profile was deleted
  std::optional<StoredSinceApplied::Kind> since;  // with a copy
  bool complete = true;
};

LastApplied FindLastApplied(const HostOptions& options) {
  LastApplied last;
  // A copy that cannot be read leaves the list unmarked, said on standard error: `current` and
  // `apply` refuse it with the way on.
  std::optional<AppliedProfile> applied;
  try {
    applied = ReadAppliedProfile(AppliedProfileFile(options));
  } catch (const Refusal& e) {
    std::cerr << "nebrin: " << e.what() << "\n";
    return last;
  }
  if (applied) {
    last.since = CompareWithStore(applied->profile).kind;
    last.complete = applied->complete;
    if (*last.since != StoredSinceApplied::Kind::Deleted) {
      last.number = applied->profile.env.nProfileKey;
    }
    return last;
  }
  // The profile applied last, if it still loads (loading refreshes its DHCP adapters).
  HostProfile current;
  CCommonFtn().InitStructure(&current.env, current.adapters);
  if (CNetInfoRetrieve().GetCurrentProfileInfo(&current.env, current.adapters) == 1) {
    last.number = current.env.nProfileKey;
  }
  return last;
}

void RunList(const HostOptions& options, bool json) {
  auto session = OpenSession(options);
  const Catalogue catalogue = ReadCatalogue();
  const auto& entries = catalogue.entries;
  const LastApplied last = FindLastApplied(options);
  session->CommitRefresh();
  auto isCurrent = [&](const NameIndex& e) { return last.number == e.nProfileKey; };
  const bool changed = last.since == StoredSinceApplied::Kind::Changed;
  if (json) {
    nlohmann::json out = nlohmann::json::array();
    for (const NameIndex& e : entries) {
      nlohmann::json row = {{"nProfileKey", e.nProfileKey},
                            {"ProfileName", FieldUtf8(e.ProfileName)},
                            {"IconIndex", e.IconIndex},
                            {"lastApplied", isCurrent(e)}};
      if (isCurrent(e) && last.since) {
        row["storedSinceApplied"] = changed ? "changed" : "unchanged";
        row["setUpComplete"] = last.complete;
      }
      out.push_back(row);
    }
    std::cout << out.dump(2) << "\n";
    for (const int number : catalogue.damaged) {
      std::cerr << "nebrin: " << DamagedSentence(number) << "\n";
    }
    return;
  }
  if (entries.empty() && catalogue.damaged.empty()) {
    std::cout << "No profiles stored.\n";
    return;
  }
  std::string mark = changed ? "yes, changed since" : "yes";
  if (!last.complete) mark += ", set-up incomplete";
  Table table({"#", "Name", "Icon", "Last applied"});
  std::size_t next = 0;
  for (const NameIndex& e : entries) {
    for (; next < catalogue.damaged.size() && catalogue.damaged[next] < e.nProfileKey; ++next) {
      table.AddRow({std::to_string(catalogue.damaged[next]), "(damaged)", "", ""});
    }
    table.AddRow({std::to_string(e.nProfileKey), ShownField(e.ProfileName),
                  std::to_string(e.IconIndex), isCurrent(e) ? mark : ""});
  }
  for (; next < catalogue.damaged.size(); ++next) {
    table.AddRow({std::to_string(catalogue.damaged[next]), "(damaged)", "", ""});
  }
  table.Print(std::cout);
  for (const int number : catalogue.damaged) {
    std::string sentence = DamagedSentence(number);
    sentence[0] = 'P';
    std::cout << sentence << ".\n";
  }
}

void Show(const HostProfile& p, bool json) {
  if (json) {
    std::cout << ProfileJson(p).dump(2) << "\n";
  } else {
    PrintProfile(std::cout, p);
  }
}

void RunShow(const HostOptions& options, const std::string& typed, bool json) {
  const int number = ProfileNumber(typed);
  auto session = OpenSession(options);
  HostProfile p;
  const bool loaded = LoadProfile(number, p);
  session->CommitRefresh();  // DHCP adapters took their current lease into the store
  if (!loaded) RefuseUnloadable(number);
  Show(p, json);
}

// The profile in force as the host applied it, and whether the stored profile is still that one.
// The stored one is shown while it is (its DHCP adapters with their current lease), the copy
// once it was changed or deleted.
void ShowApplied(HostSession& session, const AppliedProfile& applied, bool json) {
  const StoredSinceApplied since = CompareWithStore(applied.profile);
  session.Commit();  // DHCP adapters took their current lease into the store
  const bool same = since.kind == StoredSinceApplied::Kind::Unchanged;
  const HostProfile& shown = same ? since.stored : applied.profile;
  if (json) {
    nlohmann::json out = ProfileJson(shown);
    out["storedSinceApplied"] = since.Word();
    out["setUpComplete"] = applied.complete;
    std::cout << out.dump(2) << "\n";
    return;
  }
  const int number = applied.profile.env.nProfileKey;
  if (since.kind == StoredSinceApplied::Kind::Changed) {
    std::cout << "Profile " << number << " was changed in the store since it was applied"
              << since.OtherName(applied.profile) << "; shown as it was applied.\n";
  } else if (since.kind == StoredSinceApplied::Kind::Deleted) {
    std::cout << "Profile " << number
              << " was deleted from the store since it was applied; shown as it was applied.\n";
  }
  if (!applied.complete) {
    std::cout << "Profile " << number
              << "'s sharing-host set-up did not complete when it was applied; applying it "
                 "again sets it up in full.\n";
  }
  PrintProfile(std::cout, shown);
}

void RunCurrent(const HostOptions& options, bool json) {
  const std::filesystem::path appliedFile = AppliedProfileFile(options);
  auto session = OpenSession(options);
  if (const std::optional<AppliedProfile> applied = ReadAppliedProfile(appliedFile)) {
    ShowApplied(*session, *applied, json);
    return;
  }
  HostProfile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  const bool loaded = CNetInfoRetrieve().GetCurrentProfileInfo(&p.env, p.adapters) == 1;
  session->CommitRefresh();
  if (!loaded) {
    const std::optional<int> last = LastProfileNumber();
    if (!last) throw Refusal("no profile was applied yet");
    const std::string n = std::to_string(*last);
    throw Refusal("profile " + n + " was applied last, but it " +
                  (ProfileKeyExists(*last) ? "is now unreadable (`nebrin show " + n + "` says why)"
                                           : "is gone (deleted since)"));
  }
  Show(p, json);
}

void RunDelete(const HostOptions& options, const std::optional<std::string>& typed, bool all) {
  if (all == typed.has_value()) throw Refusal("delete takes a profile number or --all, not both");
  auto session = OpenSession(options);
  CNetInfoManage manage;
  if (all) {
    const int deleted = manage.DeleteAllProfile();
    session->Commit();
    if (deleted != 1)
      throw Refusal("the profiles could not all be deleted (or there is no profile store yet)");
    std::cout << "Deleted every profile.\n";
    return;
  }
  const int number = ProfileNumber(*typed);
  const int deleted = manage.DeleteSelectProfile(number);
  session->Commit();
  if (deleted != 1) {
    for (const NameIndex& e : ListProfiles()) {
      if (e.nProfileKey == number)
        throw Refusal("profile " + std::to_string(number) + " could not be deleted");
    }
    throw Refusal("there is no profile number " + std::to_string(number));
  }
  std::cout << "Deleted profile " << number << ".\n";
}

// DeleteNebrinKey also reports 0 when the machine-wide wireless key was never written; what the
// user asked for is that both are gone afterwards.
void RunForget(const HostOptions& options) {
  auto session = OpenSession(options);
  CNetInfoManage manage;
  bool gone = manage.DeleteNebrinKey() == 1;
  if (!gone) gone = CNetInfoRetrieve().GetProfileCount() == 0 && manage.DeleteHKLMNebrinKey() == 1;
  session->Commit();
  if (!gone) {
    throw Refusal(
        "the profile store or the machine-wide wireless key could not be removed (removing the "
        "machine-wide key needs administrative rights)");
  }
  std::cout
      << "Forgot every profile: the profile store and the machine-wide wireless key are gone.\n";
}

}  // namespace

void AddProfileCommands(CLI::App& app, HostOptions& options) {
  CLI::App* save =
      app.add_subcommand("save", "Capture the current adapter settings as a new profile");
  auto name = std::make_shared<std::string>();
  auto icon = std::make_shared<int>(0);
  auto printer = std::make_shared<std::optional<std::string>>();
  auto sharing = std::make_shared<SharingChoice>();
  save->add_option("NAME", *name, "Name of the new profile")->required();
  save->add_option("--icon", *icon, "Icon number the profile list shows");
  save->add_option_function<std::string>(
      "--printer", [printer](const std::string& value) { *printer = value; },
      "Printer to make the default when the profile is applied");
  AddSharingOptions(save, *sharing);
  save->callback([&options, name, icon, printer, sharing] {
    RunSave(options, *name, *icon, *printer, *sharing);
  });

  CLI::App* list = app.add_subcommand("list", "List the stored profiles");
  auto listJson = std::make_shared<bool>(false);
  list->add_flag("--json", *listJson, "Print JSON for scripts");
  list->callback([&options, listJson] { RunList(options, *listJson); });

  CLI::App* show =
      app.add_subcommand("show", "Show a stored profile (DHCP adapters with their current lease)");
  auto number = std::make_shared<std::string>();
  auto showJson = std::make_shared<bool>(false);
  show->add_option("N", *number, "Profile number")->required();
  show->add_flag("--json", *showJson, "Print JSON for scripts");
  show->callback([&options, number, showJson] { RunShow(options, *number, *showJson); });

  CLI::App* current = app.add_subcommand(
      "current", "Show the profile in force: the one applied last, as it was applied");
  auto currentJson = std::make_shared<bool>(false);
  current->add_flag("--json", *currentJson, "Print JSON for scripts");
  current->callback([&options, currentJson] { RunCurrent(options, *currentJson); });

  CLI::App* del = app.add_subcommand("delete", "Delete one profile, or all of them");
  auto target = std::make_shared<std::optional<std::string>>();
  auto all = std::make_shared<bool>(false);
  del->add_option_function<std::string>(
      "N", [target](const std::string& value) { *target = value; }, "Profile number");
  del->add_flag("--all", *all, "Delete every profile");
  del->callback([&options, target, all] { RunDelete(options, *target, *all); });

  CLI::App* forget = app.add_subcommand(
      "forget", "Remove the whole profile store and the machine-wide wireless key");
  forget->callback([&options] { RunForget(options); });

  AddProfileEditCommands(app, options);
}

}  // namespace nebrin::host
