// The clock (GetTickCount, Sleep) and the shell: the command runner (WinExec), special folders
// (SHGetFolderPathW) and path joining (PathAppendW).
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
  HResult FolderPath(int csidl, std::uint32_t flags, std::u16string& path) override;
  bool AppendPath(std::u16string& path, std::u16string_view more) override;
};

}  // namespace nebrin::platform::win32
