// The journal that keeps `import` all or none when it is killed part-way: written before the
// import's first write to the store and again before each profile is stored, removed once the
// whole import is kept. The next command that finds it undoes what the interrupted import had
// stored and says so.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nebrin::host {

class HostSession;

// Held by an import from before its journal is written until it is removed, and by any command
// that undoes an interrupted import's journal, so no command takes a running import for an
// interrupted one and no two commands undo one journal. On Linux the machine file's lock already
// keeps commands apart; on Windows it is a named mutex of the session, which a killed import
// abandons.
class ImportOwnership {
 public:
  virtual ~ImportOwnership() = default;
  // Waits for it as long as it takes; after a second says on standard error what it waits for.
  static std::unique_ptr<ImportOwnership> Take();
};

// What the journal holds: the file imported, the names its profiles are stored under (each free
// in the store when it was chosen), the profile keys the store held before the import, the
// numbers the import has stored and the number it is about to store (or -1).
struct ImportJournal {
  std::string file;
  std::vector<std::u16string> names;
  std::vector<int> before;
  std::vector<int> stored;
  int storing = -1;
};

// Writes the journal whole and durably (a kill leaves the old one or the new one). Throws with a
// sentence when it cannot: the import must then not write (more) to the store.
void WriteImportJournal(const std::filesystem::path& journal, const ImportJournal& content);

// Removes the journal: the import is kept whole (`kept`), or was undone. When a kept import's
// journal cannot be removed it throws with a sentence, since the next command would undo the
// import; an undone import's journal left behind only makes the next command look again.
void EndImportJournal(const std::filesystem::path& journal, bool kept);

struct ImportRecovery {
  std::string sentence;  // what to tell the user
  bool finished = false;  // every profile of the import is gone: the journal may be removed
};

// With the ownership held: when a journal is there, deletes each profile the journal says the
// import stored or was about to store, when it was not in the store before and still carries one
// of the import's names or no readable name (a profile its kill left half written), and recounts
// "ProfileCount". A profile there carrying another name is another command's and stays. Nothing
// when there is no journal.
std::optional<ImportRecovery> UndoInterruptedImport(const std::filesystem::path& journal,
                                                    const ImportOwnership& held);

// With the ownership held: undoes an interrupted import's journal when there is one, keeps the
// store (`session.Commit()`), then removes the journal, and says what it did on `notes`. When the
// undone store cannot be kept it says so and leaves the journal for the next command.
void RecoverInterruptedImport(const std::filesystem::path& journal, const ImportOwnership& held,
                              HostSession& session, std::ostream& notes);

}  // namespace nebrin::host
