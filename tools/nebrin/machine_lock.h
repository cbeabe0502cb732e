// One nebrin command at a time on a machine file: an exclusive lock on a lock file beside it
// ("<file>.lock", never removed), held from loading the machine to saving it.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace nebrin::host {

class MachineLock {
 public:
  // Takes the lock on the lock file of `file` (its symlinks followed, so every name of one file
  // shares one lock). When another command holds it for more than a second, says on `notes` what
  // it waits for, then waits as long as it takes. A folder where no lock file can be made is one
  // nobody can save into either: the command then runs without the lock.
  MachineLock(const std::filesystem::path& file, std::ostream& notes);
  ~MachineLock();
  MachineLock(const MachineLock&) = delete;
  MachineLock& operator=(const MachineLock&) = delete;

 private:
  void Wait(const std::filesystem::path& target, const std::filesystem::path& lockFile,
            std::ostream& notes);
  int fd_ = -1;
};

}  // namespace nebrin::host
