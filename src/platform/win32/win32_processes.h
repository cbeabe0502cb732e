// The process service over EnumProcesses, OpenProcess, EnumProcessModules, GetModuleBaseNameW,
// GetSystemDirectoryW, CreateProcessW and WaitForSingleObject.
#pragma once

#include "platform/processes.h"

namespace nebrin::platform::win32 {

class Win32Processes final : public Processes {
 public:
  Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override;
  Status OpenProcess(std::uint32_t access, std::uint32_t id, ProcessHandle& process) override;
  Status FirstModule(ProcessHandle process, ModuleHandle& module) override;
  Status ModuleBaseName(ProcessHandle process, ModuleHandle module, std::uint32_t capacity,
                        std::u16string& name) override;
  Status SystemDirectory(std::u16string& path) override;
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, ProcessHandle& process,
                      ProcessHandle& thread) override;
  std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) override;
  Status CloseHandle(ProcessHandle handle) override;
};

}  // namespace nebrin::platform::win32
