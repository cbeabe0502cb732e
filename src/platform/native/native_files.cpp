#include "platform/native/native_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/native/iconv_text.h"

namespace nebrin::platform::native {
namespace {

Status FromErrno(int error) {
  switch (error) {
    case ENOENT:
      return kFileNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kAccessDenied;
    case EWOULDBLOCK:
      return kSharingViolation;
    default:
      return kAccessDenied;
  }
}

}  // namespace

NativeFiles::~NativeFiles() {
  for (const auto& [handle, fd] : open_) ::close(fd);
}

Status NativeFiles::OpenFile(std::u16string_view name, Disposition disposition, FileHandle& file) {
  std::string path;
  if (WideToBytes(65001, name, path) != kSuccess || path.empty()) return kInvalidParameter;
  const int flags = O_WRONLY | O_CLOEXEC | (disposition == Disposition::CreateAlways ? O_CREAT : 0);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return FromErrno(errno);
  // No sharing while open: a second writer is refused, as with share mode 0. The file is emptied
  // only once the lock is held, so a refused writer leaves it as it was.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? kSharingViolation : FromErrno(error);
  }
  if (disposition == Disposition::CreateAlways && ::ftruncate(fd, 0) != 0) {
    const int error = errno;
    ::close(fd);
    return FromErrno(error);
  }
  file = static_cast<FileHandle>(fd) + 1;
  open_[file] = fd;
  return kSuccess;
}

Status NativeFiles::SeekToEnd(FileHandle file) {
  auto found = open_.find(file);
  if (found == open_.end()) return kInvalidHandle;
  return ::lseek(found->second, 0, SEEK_END) < 0 ? FromErrno(errno) : kSuccess;
}

Status NativeFiles::Write(FileHandle file, std::string_view bytes, std::uint32_t& written) {
  written = 0;
  auto found = open_.find(file);
  if (found == open_.end()) return kInvalidHandle;
  const ssize_t count = ::write(found->second, bytes.data(), bytes.size());
  if (count < 0) return FromErrno(errno);
  written = static_cast<std::uint32_t>(count);
  return kSuccess;
}

Status NativeFiles::CloseFile(FileHandle file) {
  auto found = open_.find(file);
  if (found == open_.end()) return kInvalidHandle;
  ::close(found->second);
  open_.erase(found);
  return kSuccess;
}

}  // namespace nebrin::platform::native
