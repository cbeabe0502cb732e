// Linux runs no Windows programs and has no Windows process list: the process service fails
// every call, so a process lookup finds nothing and starting the network shell fails.
#pragma once

#include "platform/processes.h"

namespace nebrin::platform::native {

class NativeProcesses final : public Processes {
 public:
  Status EnumerateProcesses(std::vector<std::uint32_t>&) override { return kCallNotImplemented; }
  Status OpenProcess(std::uint32_t, std::uint32_t, ProcessHandle&) override {
    return kCallNotImplemented;
  }
  Status FirstModule(ProcessHandle, ModuleHandle&) override { return kCallNotImplemented; }
  Status ModuleBaseName(ProcessHandle, ModuleHandle, std::uint32_t, std::u16string&) override {
    return kCallNotImplemented;
  }
  Status SystemDirectory(std::u16string&) override { return kCallNotImplemented; }
  Status StartProcess(std::u16string_view, std::u16string_view, std::uint32_t, ProcessHandle&,
                      ProcessHandle&) override {
    return kFileNotFound;
  }
  std::uint32_t Wait(ProcessHandle, std::uint32_t) override { return kWaitFailed; }
  Status CloseHandle(ProcessHandle) override { return kInvalidHandle; }
};

}  // namespace nebrin::platform::native
