// The simulated machine's process and file services. The process service holds the open process
// and thread handles, the file service the open files (no sharing while a file is open).
#pragma once

#include <map>
#include <string>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimProcesses final : public platform::Processes {
 public:
  explicit SimProcesses(Machine::State& machine) : machine_(machine) {}

  Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override;
  Status OpenProcess(std::uint32_t access, std::uint32_t id,
                     platform::ProcessHandle& process) override;
  Status FirstModule(platform::ProcessHandle process, platform::ModuleHandle& module) override;
  Status ModuleBaseName(platform::ProcessHandle process, platform::ModuleHandle module,
                        std::uint32_t capacity, std::u16string& name) override;
  Status SystemDirectory(std::u16string& path) override;
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, platform::ProcessHandle& process,
                      platform::ProcessHandle& thread) override;
  std::uint32_t Wait(platform::ProcessHandle process, std::uint32_t milliseconds) override;
  Status CloseHandle(platform::ProcessHandle handle) override;

  std::size_t OpenCount() const { return handles_.size(); }

 private:
  struct Opened {
    std::uint32_t id = 0;
    std::string image;  // kept: a handle outlives its process
  };
  // Removes the processes whose time is over.
  void EndExpired();
  platform::ProcessHandle Add(std::uint32_t id, const std::string& image);

  Machine::State& machine_;
  std::map<platform::ProcessHandle, Opened> handles_;
  platform::ProcessHandle next_ = 0x400;
};

class SimFiles final : public platform::Files {
 public:
  explicit SimFiles(Machine::State& machine) : machine_(machine) {}

  Status OpenFile(std::u16string_view name, platform::Disposition disposition,
                  platform::FileHandle& file) override;
  Status SeekToEnd(platform::FileHandle file) override;
  Status Write(platform::FileHandle file, std::string_view bytes, std::uint32_t& written) override;
  Status CloseFile(platform::FileHandle file) override;

  std::size_t OpenCount() const { return open_.size(); }
  // Whether a file (full path) is open through this service.
  bool IsOpen(const std::string& path) const;

 private:
  struct Opened {
    std::string path;  // the key in FileState::files
    std::size_t position = 0;
  };

  Machine::State& machine_;
  std::map<platform::FileHandle, Opened> open_;
  platform::FileHandle next_ = 0x600;
};

// The full path of `name` seen from `directory` (a full path itself), as the system makes it:
// "\\x" is taken from the directory's drive root, "C:x" from the directory when it is on C:, else
// from C:'s root (the machine keeps one current directory).
std::string ResolvePath(const std::string& directory, const std::string& name);

// The stored key of a file path (the case it was created with), or the path itself when new.
std::string FindFileKey(const std::map<std::string, std::string>& files, const std::string& path);

}  // namespace nebrin::sim
