#include "platform/sim/sim_processes.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "platform/sim/adhoc_tool.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/network_shell.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::kAccessDenied;
using platform::kFileNotFound;
using platform::kInvalidHandle;
using platform::kInvalidParameter;
using platform::kSuccess;

// Whether the virtual clock has reached `tick` (the count wraps at 2^32).
bool Reached(std::uint32_t now, std::uint32_t tick) {
  return static_cast<std::int32_t>(now - tick) >= 0;
}

// The file name at the end of a path.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string ResolvePath(const std::string& directory, const std::string& name) {
  const auto slash = [](const std::string& text, std::size_t i) {
    return text.size() > i && (text[i] == '\\' || text[i] == '/');
  };
  const auto drive = [](const std::string& text) { return text.size() >= 2 && text[1] == ':'; };
  if (slash(name, 0) && slash(name, 1)) return name;         // \\server\share\...
  if (drive(name) && slash(name, 2)) return name;            // X:\...
  if (slash(name, 0)) return directory.substr(0, 2) + name;  // the current drive's root
  std::string base = directory;
  std::string rest = name;
  if (drive(name)) {
    rest = name.substr(2);
    // Only the current drive's current directory is kept; another drive's is its root.
    const bool sameDrive =
        drive(directory) && std::toupper(static_cast<unsigned char>(name[0])) ==
                                std::toupper(static_cast<unsigned char>(directory[0]));
    if (!sameDrive) base = name.substr(0, 2) + "\\";
  }
  if (!base.empty() && base.back() == '\\') return base + rest;
  return base + "\\" + rest;
}

std::string FindFileKey(const std::map<std::string, std::string>& files, const std::string& path) {
  for (const auto& [key, bytes] : files) {
    if (SameName(Utf8ToUtf16(key), Utf8ToUtf16(path))) return key;
  }
  return path;
}

// --- processes ---

void SimProcesses::EndExpired() {
  auto& table = machine_.processes.table;
  const std::uint32_t now = machine_.tickCount;
  table.erase(std::remove_if(
                  table.begin(), table.end(),
                  [&](const SimProcess& p) { return p.endsAtTick && Reached(now, *p.endsAtTick); }),
              table.end());
}

platform::ProcessHandle SimProcesses::Add(std::uint32_t id, const std::string& image) {
  const platform::ProcessHandle handle = next_;
  next_ += 4;
  handles_[handle] = Opened{id, image};
  return handle;
}

Status SimProcesses::EnumerateProcesses(std::vector<std::uint32_t>& ids) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  EndExpired();
  auto& table = machine_.processes.table;
  ids.clear();
  for (const auto& process : table) ids.push_back(process.id);
  // A process that ends after some scans has been seen once more.
  for (auto& process : table) {
    if (process.scansLeft && *process.scansLeft > 0) --*process.scansLeft;
  }
  table.erase(std::remove_if(table.begin(), table.end(),
                             [](const SimProcess& p) { return p.scansLeft && *p.scansLeft == 0; }),
              table.end());
  return kSuccess;
}

Status SimProcesses::OpenProcess(std::uint32_t access, std::uint32_t id,
                                 platform::ProcessHandle& process) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  const auto& table = machine_.processes.table;
  auto found =
      std::find_if(table.begin(), table.end(), [&](const SimProcess& p) { return p.id == id; });
  if (found == table.end()) return kInvalidParameter;  // as Windows answers for a gone process
  if (!found->openable || access == 0) return kAccessDenied;
  process = Add(id, found->image);
  return kSuccess;
}

Status SimProcesses::FirstModule(platform::ProcessHandle process, platform::ModuleHandle& module) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  auto found = handles_.find(process);
  if (found == handles_.end() || found->second.image.empty()) return kInvalidHandle;
  module = 0x00400000;  // executables load at their preferred base
  return kSuccess;
}

Status SimProcesses::ModuleBaseName(platform::ProcessHandle process, platform::ModuleHandle,
                                    std::uint32_t capacity, std::u16string& name) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  auto found = handles_.find(process);
  if (found == handles_.end()) return kInvalidHandle;
  if (capacity == 0) return platform::kInsufficientBuffer;
  std::u16string image = Utf8ToUtf16(found->second.image);
  if (image.size() > capacity - 1) image.resize(capacity - 1);
  name = std::move(image);
  return kSuccess;
}

Status SimProcesses::SystemDirectory(std::u16string& path) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  path = Utf8ToUtf16(machine_.processes.systemDirectory);
  return kSuccess;
}

// The show command is recorded with the start; no window is ever seen.
Status SimProcesses::StartProcess(std::u16string_view application, std::u16string_view commandLine,
                                  std::uint32_t showCommand, platform::ProcessHandle& process,
                                  platform::ProcessHandle& thread) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) return fault;
  ProcessState& state = machine_.processes;
  const auto& programs = state.programs;
  const std::size_t startedBefore = state.started.size();
  const std::size_t tableBefore = state.table.size();
  platform::ProcessHandle processHandle = platform::kNoProcess;
  try {
    auto program = std::find_if(programs.begin(), programs.end(), [&](const SimProgram& p) {
      return SameName(Utf8ToUtf16(p.path), application);
    });
    if (program == programs.end()) return kFileNotFound;

    const std::string path = program->path;
    const std::string line = Utf16ToUtf8(commandLine);
    state.started.push_back(StartedProcess{path, line, showCommand});
    SimProcess started;
    started.id = state.nextId;
    started.image = BaseName(path);
    started.endsAtTick = machine_.tickCount + program->runMs;
    // The shell reads its script as it starts: what the library writes after that is not seen.
    if (program->kind == ProgramKind::NetworkShell) RunNetworkShell(machine_, line);
    if (program->kind == ProgramKind::AdHocTool) RunAdHocTool(machine_, line);
    state.table.push_back(started);
    processHandle = Add(started.id, started.image);
    thread = Add(started.id, std::string());
    state.nextId += 4;
    process = processHandle;
    return kSuccess;
  } catch (const std::bad_alloc&) {
    // A start the machine cannot complete leaves no process, no handle and no record of it.
    if (processHandle != platform::kNoProcess) handles_.erase(processHandle);
    state.table.resize(std::min(state.table.size(), tableBefore));
    state.started.resize(std::min(state.started.size(), startedBefore));
    return platform::kNotEnoughMemory;
  }
}

std::uint32_t SimProcesses::Wait(platform::ProcessHandle process, std::uint32_t milliseconds) {
  if (machine_.accounting.Enter(Service::Processes) != kSuccess) return platform::kWaitFailed;
  auto opened = handles_.find(process);
  if (opened == handles_.end()) return platform::kWaitFailed;
  EndExpired();
  const auto& table = machine_.processes.table;
  auto running = std::find_if(table.begin(), table.end(),
                              [&](const SimProcess& p) { return p.id == opened->second.id; });
  if (running == table.end()) return platform::kWaitObject0;
  if (running->endsAtTick) {
    const std::uint32_t left = *running->endsAtTick - machine_.tickCount;
    if (milliseconds == platform::kInfinite || left <= milliseconds) {
      machine_.tickCount = *running->endsAtTick;
      EndExpired();
      return platform::kWaitObject0;
    }
  }
  // A process that never ends by time: a limited wait runs out; an unlimited one would never
  // return, which the simulation reports as a failed wait instead of hanging.
  if (milliseconds == platform::kInfinite) return platform::kWaitFailed;
  machine_.tickCount += milliseconds;
  return platform::kWaitTimeout;
}

Status SimProcesses::CloseHandle(platform::ProcessHandle handle) {
  if (Status fault = machine_.accounting.Enter(Service::Processes)) {
    // A failed close still releases the handle, as CloseHandle does for a valid one.
    handles_.erase(handle);
    return fault;
  }
  return handles_.erase(handle) != 0 ? kSuccess : kInvalidHandle;
}

// --- files ---

bool SimFiles::IsOpen(const std::string& path) const {
  for (const auto& [handle, opened] : open_) {
    if (SameName(Utf8ToUtf16(opened.path), Utf8ToUtf16(path))) return true;
  }
  return false;
}

Status SimFiles::OpenFile(std::u16string_view name, platform::Disposition disposition,
                          platform::FileHandle& file) {
  if (Status fault = machine_.accounting.Enter(Service::Files)) return fault;
  if (name.empty()) return kFileNotFound;
  auto& files = machine_.files.files;
  const std::string path =
      FindFileKey(files, ResolvePath(machine_.processes.currentDirectory, Utf16ToUtf8(name)));
  if (IsOpen(path)) return platform::kSharingViolation;
  const bool exists = files.count(path) != 0;
  if (disposition == platform::Disposition::OpenExisting) {
    if (!exists) return kFileNotFound;
  } else {
    files[path].clear();
  }
  file = next_;
  next_ += 4;
  open_[file] = Opened{path, 0};
  return kSuccess;
}

Status SimFiles::SeekToEnd(platform::FileHandle file) {
  if (Status fault = machine_.accounting.Enter(Service::Files)) return fault;
  auto opened = open_.find(file);
  if (opened == open_.end()) return kInvalidHandle;
  opened->second.position = machine_.files.files[opened->second.path].size();
  return kSuccess;
}

Status SimFiles::Write(platform::FileHandle file, std::string_view bytes, std::uint32_t& written) {
  written = 0;
  if (Status fault = machine_.accounting.Enter(Service::Files)) return fault;
  auto opened = open_.find(file);
  if (opened == open_.end()) return kInvalidHandle;
  std::string& content = machine_.files.files[opened->second.path];
  std::size_t& position = opened->second.position;
  if (content.size() < position + bytes.size()) content.resize(position + bytes.size());
  content.replace(position, bytes.size(), bytes);
  position += bytes.size();
  written = static_cast<std::uint32_t>(bytes.size());
  return kSuccess;
}

Status SimFiles::CloseFile(platform::FileHandle file) {
  if (Status fault = machine_.accounting.Enter(Service::Files)) {
    open_.erase(file);
    return fault;
  }
  return open_.erase(file) != 0 ? kSuccess : kInvalidHandle;
}

}  // namespace nebrin::sim
