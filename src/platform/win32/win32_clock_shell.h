// The clock (GetTickCount, Sleep) and the command runner (WinExec).
#pragma once

#include "platform/clock.h"
#include "platform/shell.h"

namespace nebrin::platform::win32 {

class Win32Clock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
};

class Win32Shell final : public Shell {
 public:
  std::uint32_t WinExec(std::string_view commandLine, std::uint32_t showCommand) override;
};

}  // namespace nebrin::platform::win32
