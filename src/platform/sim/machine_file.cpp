// Machine files: loading never writes and refuses files too large or too deeply nested to be
// anyone's machine; saving writes a temporary file beside the target (a symlink's target), gives it
// the target's mode and owner, makes it durable and renames it over the target, so a reader sees
// the old file or the new one.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>

#include "common/shown_text.h"

#include "platform/sim/machine.h"
#include "platform/sim/machine_json.h"
#include "platform/sim/machine_state.h"

namespace nebrin::sim {
namespace {

// Owns a POSIX file descriptor.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  // Closes now, reporting the error a late write may only show here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Removes a temporary file unless it was committed by renaming it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void Commit() { committed_ = true; }

 private:
  std::filesystem::path path_;
  bool committed_ = false;
};

[[noreturn]] void FailFile(const std::filesystem::path& file, const std::string& problem) {
  throw MachineFileError(file.string() + ": " + problem);
}

std::string ErrnoText(int error) { return std::system_category().message(error); }

std::string TooLarge() {
  return "it is larger than " + std::to_string(kMachineFileMaxBytes / (1024 * 1024)) +
         " MiB, too large for a machine file";
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) FailFile(file, "cannot open: " + ErrnoText(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uintmax_t>(info.st_size) > kMachineFileMaxBytes) {
    FailFile(file, TooLarge());
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) FailFile(file, "cannot read: " + ErrnoText(errno));
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    if (text.size() > kMachineFileMaxBytes) FailFile(file, TooLarge());  // a file still growing
  }
  return text;
}

void WriteAll(const std::filesystem::path& target, int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) FailFile(target, "cannot write: " + ErrnoText(errno));
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; the rest is the useful part,
// cut short: it may quote the offending text.
std::string WithoutExceptionTag(const std::string& message) {
  std::string rest = message;
  if (!message.empty() && message.front() == '[') {
    const std::size_t end = message.find("] ");
    if (end != std::string::npos) rest = message.substr(end + 2);
  }
  return text::Escaped(text::Excerpt(rest, 200));
}

// Thrown by the parser's callback when a container opens deeper than the limit.
struct TooDeep {};

// Follows symlinks to the file they name (a missing last target is returned as named), so the
// target is what a save replaces and links stay links.
std::filesystem::path FollowLinks(const std::filesystem::path& file) {
  std::filesystem::path path = file;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) return path;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  FailFile(file, "too many levels of symbolic links");
}

// `<name>.tmp-<process>-<n>`: the only names a save gives its temporary files.
bool TemporaryName(const std::string& entry, const std::string& base, long& process) {
  const std::string prefix = base + ".tmp-";
  if (entry.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = entry.substr(prefix.size());
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size() || dash > 9) return false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (i != dash && (rest[i] < '0' || rest[i] > '9')) return false;
  }
  process = std::stol(rest.substr(0, dash));
  return true;
}

void SyncFolder(const std::filesystem::path& directory) {
  UniqueFd fd(::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());  // durability of the rename; nothing to undo if it fails
}

}  // namespace

std::string Machine::ToJsonText() const {
  return MachineToJson(*state_).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::shared_ptr<Machine> Machine::FromJsonText(std::string_view text) {
  if (text.size() > kMachineFileMaxBytes) throw MachineFileError(TooLarge());
  Json document;
  try {
    // Refused while parsing, before anything deeper is built: deep nesting would exhaust the stack
    // of every recursive step after it.
    document = Json::parse(text.begin(), text.end(),
                           [](int depth, Json::parse_event_t event, Json&) {
                             if ((event == Json::parse_event_t::object_start ||
                                  event == Json::parse_event_t::array_start) &&
                                 depth >= kMachineFileMaxDepth) {
                               throw TooDeep{};
                             }
                             return true;
                           });
  } catch (const Json::exception& e) {  // a syntax error, or a number too large to hold
    throw MachineFileError("invalid JSON: " + WithoutExceptionTag(e.what()));
  } catch (const TooDeep&) {
    throw MachineFileError("it is nested more than " + std::to_string(kMachineFileMaxDepth) +
                           " levels deep, too deep for a machine file");
  }
  auto machine = std::make_shared<Machine>();
  try {
    MachineFromJson(document, *machine->state_);
  } catch (const Json::exception& e) {
    throw MachineFileError(WithoutExceptionTag(e.what()));
  } catch (const MachineFileError& e) {
    throw MachineFileError(WithoutExceptionTag(e.what()));
  }
  return machine;
}

std::shared_ptr<Machine> Machine::Load(const std::filesystem::path& file) {
  const std::string text = ReadWholeFile(file);
  try {
    return FromJsonText(text);
  } catch (const MachineFileError& e) {
    FailFile(file, e.what());
  }
}

void Machine::Save(const std::filesystem::path& named) const {
  const std::string text = ToJsonText();
  const std::filesystem::path file = FollowLinks(named);
  const std::filesystem::path directory = file.parent_path();
  if (!directory.empty()) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) FailFile(named, "cannot create its folder: " + error.message());
  }
  // A file that is there keeps its mode and owner, and one its owner made read-only stays as it
  // is; a new one is readable by its owner only (it may hold wireless key texts).
  struct stat existing {};
  const bool exists = ::stat(file.c_str(), &existing) == 0;
  // Root may write any file, but a file without its owner's write bit was made read-only on
  // purpose, and stays so whoever runs.
  if (exists && (existing.st_mode & S_IWUSR) == 0) {
    FailFile(named, "cannot be written: it is read-only (its owner has no write permission)");
  }
  if (exists && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
    FailFile(named, "cannot be written: " + ErrnoText(errno));
  }
  // The temporary name is unique per process and save, so concurrent savers never share it.
  static std::atomic<unsigned> serial{0};
  TemporaryFile temporary(file.string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                          std::to_string(serial++));
  UniqueFd fd(::open(temporary.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (fd.get() < 0) FailFile(named, "cannot create a temporary file: " + ErrnoText(errno));
  if (exists) {
    struct stat mine {};
    if (::fstat(fd.get(), &mine) != 0) FailFile(named, "cannot write: " + ErrnoText(errno));
    if ((mine.st_uid != existing.st_uid || mine.st_gid != existing.st_gid) &&
        ::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
      FailFile(named, "cannot keep its owner and group: " + ErrnoText(errno));
    }
    if (::fchmod(fd.get(), existing.st_mode & 07777) != 0) {
      FailFile(named, "cannot keep its mode: " + ErrnoText(errno));
    }
  }
  WriteAll(named, fd.get(), text);
  if (::fsync(fd.get()) != 0) FailFile(named, "cannot flush: " + ErrnoText(errno));
  if (!fd.Close()) FailFile(named, "cannot write: " + ErrnoText(errno));
  if (::rename(temporary.path().c_str(), file.c_str()) != 0) {
    FailFile(named, "cannot replace: " + ErrnoText(errno));
  }
  temporary.Commit();
  SyncFolder(directory);
}

std::filesystem::path Machine::SavedPath(const std::filesystem::path& file) {
  return FollowLinks(file);
}

int Machine::RemoveStaleTemporaries(const std::filesystem::path& named) {
  const std::filesystem::path file = FollowLinks(named);
  const std::filesystem::path directory = file.parent_path().empty() ? "." : file.parent_path();
  const std::string base = file.filename().string();
  std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(directory.c_str()), ::closedir);
  if (!folder) return 0;
  const auto now = std::chrono::system_clock::now();
  int removed = 0;
  while (const dirent* entry = ::readdir(folder.get())) {
    long process = 0;
    if (!TemporaryName(entry->d_name, base, process)) continue;
    const std::filesystem::path path = directory / entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
      continue;  // not a file we could have written
    }
    // Stale: its process is gone, or it is older than any save takes (the process number may have
    // been given to another program since).
    const bool gone = process <= 0 || (::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH);
    const auto age = now - std::chrono::system_clock::from_time_t(info.st_mtime);
    if ((gone && process != ::getpid()) || age > std::chrono::hours(1)) {
      if (::unlink(path.c_str()) == 0) ++removed;
    }
  }
  return removed;
}

}  // namespace nebrin::sim
