#include "machine_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ostream>
#include <stdexcept>
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

}  // namespace

MachineLock::MachineLock(const std::filesystem::path& file, std::ostream& notes) {
  const std::filesystem::path target = sim::Machine::SavedPath(file);
  const std::filesystem::path lockFile = target.string() + ".lock";
  std::error_code error;
  if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path(), error);
  fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd_ = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);  // a lock file made while it was writable
    if (fd_ < 0) return;  // a folder nobody can save into: nothing to guard
  }
  if (fd_ < 0) {
    throw std::runtime_error(lockFile.string() + ": cannot open the lock file: " +
                             std::system_category().message(errno));
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
