// The journal that keeps `import` all or none when it is killed part-way: written before the
// import's first write to the store, removed once the whole import is kept. The next command that
// finds it undoes what the interrupted import had stored and says so.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nebrin::host {

// Held by an import from before its journal is written until it is removed, so no other command
// takes a running import for an interrupted one. On Linux the machine file's lock already keeps
// commands apart; on Windows it is a named mutex of the session, which a killed import abandons.
class ImportOwnership {
 public:
  virtual ~ImportOwnership() = default;
  // Waits for it (`wait`), or answers null at once when a running import holds it.
  static std::unique_ptr<ImportOwnership> Take(bool wait);
};

// Writes the journal: the file imported, the names its profiles will be stored under (each free
// in the store when it was chosen) and the profile keys the store holds before the import.
void BeginImportJournal(const std::filesystem::path& journal, const std::string& file,
                        const std::vector<std::u16string>& names);

// Removes the journal: the import is kept whole (`kept`), or was undone. When a kept import's
// journal cannot be removed it throws with a sentence, since the next command would undo the
// import; an undone import's journal left behind only makes the next command look again.
void EndImportJournal(const std::filesystem::path& journal, bool kept);

struct ImportRecovery {
  std::string sentence;  // what to tell the user
  bool finished = false;  // every profile of the import is gone: the journal may be removed
};

// When a journal is there and no running import owns it: deletes every profile key that was not in the store before the import
// and carries one of the import's names, or no readable name (a profile its kill left half
// written), and recounts "ProfileCount". Nothing when there is no journal.
std::optional<ImportRecovery> UndoInterruptedImport(const std::filesystem::path& journal);

}  // namespace nebrin::host
