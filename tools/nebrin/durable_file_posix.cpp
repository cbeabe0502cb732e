#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "durable_file.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const char* step, int error) {
  throw std::runtime_error(PathUtf8(file) + ": cannot " + step + " (" +
                           std::system_category().message(error) + ")");
}

}  // namespace

void ReplaceFileDurably(const std::filesystem::path& target, const std::string& text) {
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  ::unlink(temporary.c_str());  // a leftover, or a link planted there: never written through
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) Fail(temporary, "create", errno);
  std::size_t done = 0;
  int error = 0;
  while (done < text.size() && error == 0) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno != EINTR) error = errno;
    if (written > 0) done += static_cast<std::size_t>(written);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    Fail(target, "write", error);
  }
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // the rename's durability; the file is in place either way
    ::close(dir);
  }
}

}  // namespace nebrin::host
