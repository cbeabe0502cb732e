#include "import_journal.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "NebrinCoreDll.h"
#include "common/shown_text.h"
#include "host_text.h"
#include "store_scan.h"

namespace nebrin::host {
namespace {

using nlohmann::json;

constexpr std::size_t kJournalMaxBytes = 16u * 1024 * 1024;

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void BeginImportJournal(const std::filesystem::path& journal, const std::string& file,
                        const std::vector<std::u16string>& names) {
  json document = {{"import", file}, {"names", json::array()}, {"before", ScanStore().numbers}};
  for (const std::u16string& name : names) document["names"].push_back(ToUtf8(name));
  std::error_code error;
  if (!journal.parent_path().empty()) std::filesystem::create_directories(journal.parent_path(), error);
  // Written whole beside it, then renamed into place: a kill leaves the old state or the new.
  std::filesystem::path temporary = journal;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << document.dump() << "\n";
    out.flush();
    if (!out) {
      throw std::runtime_error(temporary.string() +
                               ": cannot write the import's journal, so nothing was imported");
    }
  }
  std::filesystem::rename(temporary, journal, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error(journal.string() + ": cannot write the import's journal (" +
                             error.message() + "), so nothing was imported");
  }
}

void EndImportJournal(const std::filesystem::path& journal, bool kept) {
  std::error_code error;
  std::filesystem::remove(journal, error);
  if (error && kept) {
    throw std::runtime_error(
        "the import is stored, but its journal " + journal.string() + " could not be removed (" +
        error.message() +
        "); remove it yourself, or the next nebrin command takes the import for an interrupted "
        "one and removes its profiles");
  }
}

std::optional<ImportRecovery> UndoInterruptedImport(const std::filesystem::path& journal) {
  std::error_code error;
  if (!std::filesystem::exists(journal, error)) return std::nullopt;
  const std::unique_ptr<ImportOwnership> owner = ImportOwnership::Take(false);
  if (!owner) return std::nullopt;  // the import is still running
  std::ifstream in(journal, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  json document;
  std::string file;
  std::vector<std::u16string> names;
  std::vector<int> before;
  try {
    if (text.str().size() > kJournalMaxBytes) throw std::runtime_error("too large");
    document = json::parse(text.str());
    file = document.at("import").get<std::string>();
    for (const auto& name : document.at("names")) names.push_back(ToUtf16(name.get<std::string>()));
    before = document.at("before").get<std::vector<int>>();
  } catch (const std::exception&) {
    return ImportRecovery{journal.string() +
                              ": the journal of an interrupted import cannot be read; remove it "
                              "and check the profiles with `nebrin list`",
                          false};
  }
  CNetInfoManage manage;
  std::size_t removed = 0;
  std::string left;
  for (const int number : ScanStore().numbers) {
    if (std::find(before.begin(), before.end(), number) != before.end()) continue;
    const auto name = StoredName(number);
    if (name && std::find(names.begin(), names.end(), *name) == names.end()) continue;
    if (manage.DeleteSelectProfile(number) == 1) {
      ++removed;
    } else {
      left += (left.empty() ? "" : ", ") + std::to_string(number);
    }
  }
  manage.SetProfileCount();
  const std::string what = "an import of " + text::Escaped(text::Excerpt(file)) +
                           " was interrupted";
  if (!left.empty()) {
    return ImportRecovery{what + ", and its profiles " + left +
                              " could not be removed yet; the next command tries again",
                          false};
  }
  return ImportRecovery{what + "; " +
                            (removed == 0 ? std::string("it had stored no profile yet")
                                          : "the " + Plural(removed, "profile", "profiles") +
                                                " it had stored were removed") +
                            ", so nothing of it was kept. Import the file again.",
                        true};
}

}  // namespace nebrin::host
