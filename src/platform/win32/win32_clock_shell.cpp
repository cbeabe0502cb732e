#include "platform/win32/win32_clock_shell.h"

#include <windows.h>

#include <string>

namespace nebrin::platform::win32 {

std::uint32_t Win32Clock::TickCount() { return GetTickCount(); }

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32Shell::WinExec(std::string_view commandLine, std::uint32_t showCommand) {
  const std::string text(commandLine);
  return ::WinExec(text.c_str(), showCommand);
}

}  // namespace nebrin::platform::win32
