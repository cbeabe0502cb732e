// export and import: stored profiles to a profile file and back.
#include "profile_file_commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "profile_file.h"
#include "import_journal.h"
#include "profile_import.h"
#include "store_scan.h"

namespace nebrin::host {
namespace {

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

void RunExport(const HostOptions& options, const std::vector<std::string>& typed, bool all,
               const std::string& output, bool withSecrets) {
  if (all && !typed.empty()) throw Refusal("export takes profile numbers or --all, not both");
  if (!all && typed.empty()) throw Refusal("export needs profile numbers or --all");
  std::vector<int> numbers;
  for (const std::string& t : typed) {
    const int number = ProfileNumber(t);
    if (std::find(numbers.begin(), numbers.end(), number) == numbers.end())
      numbers.push_back(number);
  }
  auto session = OpenSession(options);
  std::vector<int> damaged;
  if (all) {
    const Catalogue catalogue = ReadCatalogue();
    for (const NameIndex& e : catalogue.entries) numbers.push_back(e.nProfileKey);
    damaged = catalogue.damaged;
  }
  std::vector<HostProfile> profiles(numbers.size());
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (!LoadProfile(numbers[i], profiles[i])) {
      session->CommitRefresh();
      RefuseUnloadable(numbers[i]);
    }
  }
  session->CommitRefresh();  // DHCP adapters took their current lease into the store
  for (const int number : damaged) {
    std::cerr << "nebrin: " << DamagedSentence(number) << "; it was left out of the export\n";
  }
  const std::string text = ProfileFileJson(profiles, withSecrets).dump(2) + "\n";
  if (output.empty()) {
    std::cout << text;
    return;
  }
  std::ofstream file(PathFromUtf8(output), std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) throw Refusal(output + " could not be written");
  std::cout << "Exported " << Plural(profiles.size(), "profile", "profiles") << " to " << output
            << (withSecrets ? " with the wireless key texts.\n"
                            : " (wireless key texts left out; --with-secrets includes them).\n");
}

// The whole file, refused once it grows past the size a profile file may have.
std::string ReadWhole(const std::string& path) {
  const std::string shown = path == "-" ? std::string("standard input") : path;
  std::ifstream file;
  std::istream* in = &std::cin;
  if (path != "-") {
    file.open(PathFromUtf8(path), std::ios::binary);
    if (!file) throw Refusal(path + " cannot be read");
    in = &file;
  }
  std::string text;
  char buffer[65536];
  while (in->read(buffer, sizeof buffer) || in->gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in->gcount()));
    if (text.size() > kProfileFileMaxBytes) {
      throw Refusal(shown + ": it is larger than " +
                    std::to_string(kProfileFileMaxBytes / (1024 * 1024)) +
                    " MiB, too large for a profile file");
    }
  }
  if (in->bad()) throw Refusal(shown + " cannot be read");
  return text;
}

void RunImport(const HostOptions& options, const std::string& path,
               const std::vector<std::string>& typedMaps, bool rename) {
  ImportOptions importOptions;
  importOptions.rename = rename;
  for (const std::string& typed : typedMaps) importOptions.maps.push_back(ParseAdapterMap(typed));
  const std::string text = ReadWhole(path);
  std::vector<FileProfile> profiles;
  try {
    profiles = ReadProfileFile(text);
  } catch (const Refusal& e) {
    throw Refusal((path == "-" ? std::string("standard input") : path) + ": " + e.what());
  }
  auto session = OpenSession(options);
  // Held until the journal is gone. Another import may have been killed since the session
  // looked, so its journal is undone now, before this import writes its own.
  const std::unique_ptr<ImportOwnership> owner = ImportOwnership::Take();
  const std::filesystem::path journal = ImportJournalPath(options);
  RecoverInterruptedImport(journal, *owner, *session, std::cerr);
  ImportJournal content;
  bool begun = false;
  content.file = path == "-" ? std::string("standard input") : path;
  importOptions.record = [&](const std::vector<std::u16string>& names,
                             const std::vector<int>& stored, int storing) {
    if (!begun) {
      begun = true;
      content.names = names;
      content.before = ScanStore().numbers;
    }
    content.stored = stored;
    content.storing = storing;
    WriteImportJournal(journal, content);
  };
  ImportReport report;
  try {
    report = ImportProfiles(std::move(profiles), importOptions);
  } catch (const ImportFailed& e) {
    session->Commit();  // keep what undoing the import left, as the store now holds it
    if (e.undone()) EndImportJournal(journal, false);  // else the next command tries again
    throw;
  }
  session->Commit();
  EndImportJournal(journal, true);  // the import is kept whole
  if (report.profiles.empty()) {
    std::cout << "The file holds no profiles; nothing was imported.\n";
    return;
  }
  for (const std::string& note : report.adapterNotes) std::cout << "Matched: " << Shown(note) << "\n";
  for (const ImportedProfile& p : report.profiles) {
    std::cout << "Imported \"" << Shown(p.name) << "\"";
    if (p.name != p.nameInFile) std::cout << " (\"" << Shown(p.nameInFile) << "\" in the file)";
    std::cout << " as profile " << p.number << " with "
              << Plural(static_cast<std::size_t>(p.adapterCount), "adapter", "adapters") << ".\n";
    if (p.keyTextLeftOut) {
      std::cout << "  It uses a WEP key, but the file holds no key text (exported without "
                   "--with-secrets): its key is stored empty.\n";
    }
  }
}

}  // namespace

void AddProfileFileCommands(CLI::App& app, HostOptions& options) {
  CLI::App* exportCommand =
      app.add_subcommand("export", "Write stored profiles to a profile file (JSON)");
  auto numbers = std::make_shared<std::vector<std::string>>();
  auto all = std::make_shared<bool>(false);
  auto output = std::make_shared<std::string>();
  auto secrets = std::make_shared<bool>(false);
  exportCommand->add_option("N", *numbers, "Profile numbers");
  exportCommand->add_flag("--all", *all, "Export every stored profile");
  exportCommand->add_option("-o,--output", *output, "File to write (default: standard output)");
  exportCommand->add_flag("--with-secrets", *secrets,
                          "Include the wireless key text (strWLANPassWord), which is left out "
                          "by default");
  exportCommand->callback([&options, numbers, all, output, secrets] {
    RunExport(options, *numbers, *all, *output, *secrets);
  });

  CLI::App* importCommand = app.add_subcommand(
      "import", "Store the profiles of a profile file as new profiles: all of them or none");
  auto path = std::make_shared<std::string>();
  auto maps = std::make_shared<std::vector<std::string>>();
  auto rename = std::make_shared<bool>(false);
  importCommand->add_option("FILE", *path, "Profile file (- for standard input)")->required();
  importCommand
      ->add_option("--map", *maps,
                   "GUID=INDEX: the file's adapter GUID is this machine's adapter INDEX (as "
                   "`nebrin adapters` numbers them); may be repeated")
      ->allow_extra_args(false);
  importCommand->add_flag("--rename", *rename,
                          "Store a profile whose name is taken as \"NAME (2)\", \"NAME (3)\", ...");
  importCommand->callback(
      [&options, path, maps, rename] { RunImport(options, *path, *maps, *rename); });
}

}  // namespace nebrin::host
