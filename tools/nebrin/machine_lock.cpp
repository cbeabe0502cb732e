#include "machine_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "platform/sim/machine.h"

namespace nebrin::host {
namespace {

bool TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return false;
    throw std::runtime_error("cannot lock the machine file: " +
                             std::system_category().message(errno));
  }
}

// Opens the lock file without following a symlink put in its place. A new lock file gets the
// machine file's owner, group and mode bits, so whoever may write the machine file may open it.
int OpenLockFile(const std::filesystem::path& target, const std::filesystem::path& lockFile) {
  struct stat machine {};
  const bool machineExists = ::stat(target.c_str(), &machine) == 0;
  const mode_t mode = machineExists ? (machine.st_mode & 0666) | 0600 : 0600;
  int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd >= 0) {
    if (machineExists) {
      struct stat mine {};
      if (::fstat(fd, &mine) == 0 && (mine.st_uid != machine.st_uid || mine.st_gid != machine.st_gid)) {
        (void)::fchown(fd, machine.st_uid, machine.st_gid);  // only root may give it away
      }
    }
    (void)::fchmod(fd, mode);  // the umask may have taken bits the machine file has
    return fd;
  }
  if (errno != EEXIST) return -1;
  fd = ::open(lockFile.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    fd = ::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);  // flock needs no write right
  }
  return fd;
}

}  // namespace

MachineLock::MachineLock(const std::filesystem::path& file, std::ostream& notes) {
  const std::filesystem::path target = sim::Machine::SavedPath(file);
  const std::filesystem::path lockFile = target.string() + ".lock";
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  std::error_code error;
  if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path(), error);
  fd_ = OpenLockFile(target, lockFile);
  if (fd_ < 0) {
    const int openError = errno;
    // A folder nobody can write holds a machine file nobody can save: nothing to guard.
    const bool folderWritable = ::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0;
    if ((openError == EACCES || openError == EPERM || openError == EROFS || openError == ENOENT) &&
        !folderWritable) {
      return;
    }
    std::string why = std::system_category().message(openError);
    if (openError == ELOOP) why = "it is a symbolic link";
    throw std::runtime_error("cannot open the lock file " + lockFile.string() + " (" + why +
                             "), so this command cannot keep other nebrin commands away from the "
                             "machine file; remove or repair the lock file and try again");
  }
  try {
    Wait(target, lockFile, notes);
  } catch (...) {
    ::close(fd_);
    throw;
  }
}

void MachineLock::Wait(const std::filesystem::path& target, const std::filesystem::path& lockFile,
                       std::ostream& notes) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!TryLock(fd_)) {
    if (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    notes << "Waiting for another nebrin command to finish with the machine file "
          << target.string() << " (lock " << lockFile.string() << ")...\n"
          << std::flush;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        throw std::runtime_error("cannot lock the machine file: " +
                                 std::system_category().message(errno));
      }
    }
    return;
  }
}

MachineLock::~MachineLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace nebrin::host
