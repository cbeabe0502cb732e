#include "import_journal.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "NebrinCoreDll.h"
#include "common/shown_text.h"
#include "durable_file.h"
#include "host_session.h"
#include "host_text.h"
#include "store_scan.h"

namespace nebrin::host {
namespace {

using nlohmann::json;

constexpr std::size_t kJournalMaxBytes = 16u * 1024 * 1024;

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool Contains(const std::vector<int>& numbers, int number) {
  return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

ImportJournal ReadJournal(const std::string& text) {
  if (text.size() > kJournalMaxBytes) throw std::runtime_error("too large");
  const json document = json::parse(text);
  ImportJournal content;
  content.file = document.at("import").get<std::string>();
  for (const auto& name : document.at("names")) content.names.push_back(ToUtf16(name.get<std::string>()));
  content.before = document.at("before").get<std::vector<int>>();
  content.stored = document.at("stored").get<std::vector<int>>();
  content.storing = document.at("storing").get<int>();
  return content;
}

}  // namespace

void WriteImportJournal(const std::filesystem::path& journal, const ImportJournal& content) {
  json document = {{"import", content.file},       {"names", json::array()},
                   {"before", content.before},     {"stored", content.stored},
                   {"storing", content.storing}};
  for (const std::u16string& name : content.names) document["names"].push_back(ToUtf8(name));
  std::error_code error;
  if (!journal.parent_path().empty()) std::filesystem::create_directories(journal.parent_path(), error);
  try {
    ReplaceFileDurably(journal, document.dump() + "\n");
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(std::string(e.what()) +
                             "; the import's journal could not be written");
  }
}

void EndImportJournal(const std::filesystem::path& journal, bool kept) {
  std::error_code error;
  std::filesystem::remove(journal, error);
  if (error && kept) {
    throw std::runtime_error(
        "the import is stored, but its journal " + PathUtf8(journal) + " could not be removed (" +
        error.message() +
        "); remove it yourself, or the next nebrin command takes the import for an interrupted "
        "one and removes its profiles");
  }
}

std::optional<ImportRecovery> UndoInterruptedImport(const std::filesystem::path& journal,
                                                    const ImportOwnership&) {
  std::error_code error;
  if (!std::filesystem::exists(journal, error)) return std::nullopt;
  std::ifstream in(journal, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ImportJournal content;
  try {
    content = ReadJournal(text.str());
  } catch (const std::exception&) {
    return ImportRecovery{PathUtf8(journal) +
                              ": the journal of an interrupted import cannot be read; remove it "
                              "and check the profiles with `nebrin list`",
                          false};
  }
  std::vector<int> candidates = content.stored;
  if (content.storing >= 0 && !Contains(candidates, content.storing)) {
    candidates.push_back(content.storing);
  }
  CNetInfoManage manage;
  std::size_t removed = 0;
  std::string left;
  for (const int number : candidates) {
    if (Contains(content.before, number) || !ProfileKeyExists(number)) continue;
    const auto name = StoredName(number);
    if (name && std::find(content.names.begin(), content.names.end(), *name) == content.names.end()) {
      continue;  // another command's profile under that number
    }
    if (manage.DeleteSelectProfile(number) == 1) {
      ++removed;
    } else {
      left += (left.empty() ? "" : ", ") + std::to_string(number);
    }
  }
  manage.SetProfileCount();
  const std::string what = "an import of " + text::Escaped(text::Excerpt(content.file)) +
                           " was interrupted";
  if (!left.empty()) {
    return ImportRecovery{what + ", and its profiles " + left +
                              " could not be removed yet; the next command tries again",
                          false};
  }
  return ImportRecovery{what + "; " +
                            (removed == 0 ? std::string("it had stored no profile yet")
                                          : "the " + Plural(removed, "profile", "profiles") +
                                                " it had stored " +
                                                (removed == 1 ? "was" : "were") + " removed") +
                            ", so nothing of it was kept. Import the file again.",
                        true};
}

void RecoverInterruptedImport(const std::filesystem::path& journal, const ImportOwnership& held,
                              HostSession& session, std::ostream& notes) {
  const std::optional<ImportRecovery> recovery = UndoInterruptedImport(journal, held);
  if (!recovery) return;
  notes << "nebrin: " << recovery->sentence << "\n";
  if (!recovery->finished) return;
  try {
    session.Commit();  // the undone store first, then the journal may go
  } catch (const std::exception& e) {
    // A machine file that cannot be written: this command answers from the undone store, and the
    // journal stays for the next command that can save.
    notes << "nebrin: note: that undo could not be saved (" << e.what()
          << "); the next command that can save does it again\n";
    return;
  }
  EndImportJournal(journal, false);
}

}  // namespace nebrin::host
