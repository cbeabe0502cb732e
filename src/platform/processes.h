// Process service: the running processes and their first module's name (EnumProcesses,
// OpenProcess, EnumProcessModules, GetModuleBaseNameW), the system directory
// (GetSystemDirectoryW), starting a program (CreateProcessW) and waiting for it
// (WaitForSingleObject).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace nebrin::platform {

// An open process or thread handle; 0 is no handle.
using ProcessHandle = std::uintptr_t;
inline constexpr ProcessHandle kNoProcess = 0;
// A module handle of another process, as EnumProcessModules gives it.
using ModuleHandle = std::uintptr_t;

inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;  // PROCESS_QUERY_INFORMATION
inline constexpr std::uint32_t kProcessVmRead = 0x0010;            // PROCESS_VM_READ
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;             // INFINITE
inline constexpr std::uint32_t kSwHide = 0;                        // SW_HIDE (shell.h: SW_SHOW)

// What Wait answers (WaitForSingleObject).
inline constexpr std::uint32_t kWaitObject0 = 0;          // WAIT_OBJECT_0: the process ended
inline constexpr std::uint32_t kWaitTimeout = 258;        // WAIT_TIMEOUT
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;  // WAIT_FAILED

class Processes {
 public:
  virtual ~Processes() = default;

  // EnumProcesses: the ids of every running process, in the system's order. The id array is
  // enlarged until the whole list fits, so no process is left out however many run.
  virtual Status EnumerateProcesses(std::vector<std::uint32_t>& ids) = 0;
  // OpenProcess(access, not inherited, id).
  virtual Status OpenProcess(std::uint32_t access, std::uint32_t id, ProcessHandle& process) = 0;
  // EnumProcessModules with room for one handle: the process's first module (its executable).
  virtual Status FirstModule(ProcessHandle process, ModuleHandle& module) = 0;
  // GetModuleBaseNameW into a buffer of `capacity` characters, terminator included: a longer
  // name comes back cut to capacity - 1 characters.
  virtual Status ModuleBaseName(ProcessHandle process, ModuleHandle module, std::uint32_t capacity,
                                std::u16string& name) = 0;

  // GetSystemDirectoryW: the full path of the system directory, without a trailing backslash.
  virtual Status SystemDirectory(std::u16string& path) = 0;
  // CreateProcessW with `application` as the program to run (never searched for), a writable copy
  // of `commandLine`, no security attributes, no handle inheritance, creation flags 0, the
  // caller's environment and current directory, and the window shown as `showCommand` says
  // (STARTF_USESHOWWINDOW; SW_HIDE, SW_SHOW). Both handles belong to the caller.
  virtual Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                              std::uint32_t showCommand, ProcessHandle& process,
                              ProcessHandle& thread) = 0;
  // WaitForSingleObject on a process handle: kWaitObject0, kWaitTimeout or kWaitFailed.
  virtual std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) = 0;
  // CloseHandle of a process or thread handle.
  virtual Status CloseHandle(ProcessHandle handle) = 0;
};

}  // namespace nebrin::platform
