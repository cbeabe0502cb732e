// Importing the profiles of a profile file as new profiles of this machine's store, through the
// library's own members: all of them, or none.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adapter_mapping.h"
#include "profile_file.h"

namespace nebrin::host {

struct ImportOptions {
  std::vector<AdapterMap> maps;  // --map
  bool rename = false;           // --rename: a taken name becomes "NAME (2)", "NAME (3)", ...
  // The journal: called after every check, before each profile is stored, with the names chosen,
  // the numbers stored so far and the number the store will give the next profile; once more with
  // -1 after a store that took another number than that. When it throws, nothing more is stored
  // (what was stored is undone).
  std::function<void(const std::vector<std::u16string>& names, const std::vector<int>& stored,
                     int storing)>
      record;
};

struct ImportedProfile {
  int number = -1;         // the profile number the store gave it
  std::string name;        // the name it was stored under
  std::string nameInFile;  // differs from `name` when it was renamed
  int adapterCount = 0;
  bool keyTextLeftOut = false;  // it uses a WEP key, but the file holds no key text
};

struct ImportReport {
  std::vector<ImportedProfile> profiles;
  std::vector<std::string> adapterNotes;  // adapters that are another adapter on this machine
};

// A failure after the import began to write. What it stored has been removed again; the
// message says so, or names what could not be removed.
class ImportFailed : public Refusal {
 public:
  ImportFailed(const std::string& sentence, bool undone) : Refusal(sentence), undone_(undone) {}
  // Whether everything the import stored is gone again.
  bool undone() const { return undone_; }

 private:
  bool undone_;
};

// Matches the adapters, chooses the names (CanUseThisName), then stores each profile as a new
// one (SaveProfileInfoToRegistry). Refuses (Refusal) before anything is written when an adapter has
// no match or a name is taken; throws ImportFailed when storing fails, after deleting
// (DeleteSelectProfile) the profiles it stored.
ImportReport ImportProfiles(std::vector<FileProfile> profiles, const ImportOptions& options);

}  // namespace nebrin::host
