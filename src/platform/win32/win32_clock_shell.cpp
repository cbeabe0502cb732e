#include "platform/win32/win32_clock_shell.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {

std::uint32_t Win32Clock::TickCount() { return GetTickCount(); }

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32Shell::WinExec(std::string_view commandLine, std::uint32_t showCommand) {
  const std::string text(commandLine);
  return ::WinExec(text.c_str(), showCommand);
}

HResult Win32Shell::FolderPath(int csidl, std::uint32_t flags, std::u16string& path) {
  wchar_t buffer[MAX_PATH] = {};
  const HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, flags, buffer);
  if (result == S_OK) path = FromWin(buffer);
  return result;
}

bool Win32Shell::AppendPath(std::u16string& path, std::u16string_view more) {
  static_assert(kMaxPath == MAX_PATH);
  if (path.size() >= MAX_PATH) return false;
  wchar_t buffer[MAX_PATH] = {};
  std::copy(path.begin(), path.end(), buffer);
  const std::wstring appended = ToWin(more);
  if (!PathAppendW(buffer, appended.c_str())) return false;
  path = FromWin(buffer);
  return true;
}

}  // namespace nebrin::platform::win32
