// Machine files: loading never writes; saving writes a temporary file beside the target, makes it
// durable and renames it over the target, so a reader sees the old file or the new one.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

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

std::string ReadWholeFile(const std::filesystem::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) FailFile(file, "cannot open: " + ErrnoText(errno));
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) FailFile(file, "cannot read: " + ErrnoText(errno));
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
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

// nlohmann's messages start with "[json.exception.parse_error.101] "; the rest is the useful part.
std::string WithoutExceptionTag(const std::string& message) {
  if (!message.empty() && message.front() == '[') {
    const std::size_t end = message.find("] ");
    if (end != std::string::npos) return message.substr(end + 2);
  }
  return message;
}

}  // namespace

std::string Machine::ToJsonText() const {
  return MachineToJson(*state_).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::shared_ptr<Machine> Machine::FromJsonText(std::string_view text) {
  Json document;
  try {
    document = Json::parse(text.begin(), text.end());
  } catch (const Json::exception& e) {  // a syntax error, or a number too large to hold
    throw MachineFileError("invalid JSON: " + WithoutExceptionTag(e.what()));
  }
  auto machine = std::make_shared<Machine>();
  try {
    MachineFromJson(document, *machine->state_);
  } catch (const Json::exception& e) {
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

void Machine::Save(const std::filesystem::path& file) const {
  const std::string text = ToJsonText();
  const std::filesystem::path directory = file.parent_path();
  if (!directory.empty()) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) FailFile(file, "cannot create its folder: " + error.message());
  }
  // The temporary name is unique per process and save, so concurrent savers never share it.
  static std::atomic<unsigned> serial{0};
  TemporaryFile temporary(file.string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                          std::to_string(serial++));
  UniqueFd fd(::open(temporary.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) FailFile(file, "cannot create a temporary file: " + ErrnoText(errno));
  WriteAll(file, fd.get(), text);
  if (::fsync(fd.get()) != 0) FailFile(file, "cannot flush: " + ErrnoText(errno));
  if (!fd.Close()) FailFile(file, "cannot write: " + ErrnoText(errno));
  if (::rename(temporary.path().c_str(), file.c_str()) != 0) {
    FailFile(file, "cannot replace: " + ErrnoText(errno));
  }
  temporary.Commit();
}

}  // namespace nebrin::sim
