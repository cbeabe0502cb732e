// PSAPI_VERSION 1 binds the process functions to psapi.dll, where NT 5.1 has them (kernel32's
// K32 names came later).
#define PSAPI_VERSION 1
#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <psapi.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

HANDLE ToHandle(ProcessHandle handle) { return reinterpret_cast<HANDLE>(handle); }
ProcessHandle FromHandle(HANDLE handle) { return reinterpret_cast<ProcessHandle>(handle); }

Status LastError() { return static_cast<Status>(GetLastError()); }

}  // namespace

Status Win32Processes::EnumerateProcesses(std::vector<std::uint32_t>& ids) {
  // EnumProcesses gives no count of its own: a full array may have left processes out, so the
  // array grows until the answer leaves room to spare.
  std::vector<DWORD> buffer(1024);
  for (;;) {
    DWORD bytes = 0;
    const DWORD room = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    if (!EnumProcesses(buffer.data(), room, &bytes)) return LastError();
    if (bytes < room) {
      ids.assign(buffer.begin(), buffer.begin() + bytes / sizeof(DWORD));
      return kSuccess;
    }
    if (buffer.size() >= (1u << 20)) return kInsufficientBuffer;
    buffer.resize(buffer.size() * 2);
  }
}

Status Win32Processes::OpenProcess(std::uint32_t access, std::uint32_t id, ProcessHandle& process) {
  HANDLE handle = ::OpenProcess(access, FALSE, id);
  if (handle == nullptr) return LastError();
  process = FromHandle(handle);
  return kSuccess;
}

Status Win32Processes::FirstModule(ProcessHandle process, ModuleHandle& module) {
  HMODULE first = nullptr;
  DWORD needed = 0;
  if (!EnumProcessModules(ToHandle(process), &first, sizeof(first), &needed)) return LastError();
  module = reinterpret_cast<ModuleHandle>(first);
  return kSuccess;
}

Status Win32Processes::ModuleBaseName(ProcessHandle process, ModuleHandle module,
                                      std::uint32_t capacity, std::u16string& name) {
  std::vector<wchar_t> buffer(capacity == 0 ? 1 : capacity, L'\0');
  const DWORD length = GetModuleBaseNameW(ToHandle(process), reinterpret_cast<HMODULE>(module),
                                          buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0) return LastError();
  // The system cuts a long name to the buffer; the text ends at the first NUL within it.
  std::size_t end = 0;
  while (end + 1 < buffer.size() && buffer[end] != L'\0') ++end;
  name = FromWin({buffer.data(), end});
  return kSuccess;
}

Status Win32Processes::SystemDirectory(std::u16string& path) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0) return LastError();
  if (length > MAX_PATH) return kInsufficientBuffer;
  path = FromWin({buffer, length});
  return kSuccess;
}

Status Win32Processes::StartProcess(std::u16string_view application,
                                    std::u16string_view commandLine, std::uint32_t showCommand,
                                    ProcessHandle& process, ProcessHandle& thread) {
  const std::wstring program = ToWin(application);
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring writable = ToWin(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return LastError();
  }
  process = FromHandle(started.hProcess);
  thread = FromHandle(started.hThread);
  return kSuccess;
}

std::uint32_t Win32Processes::Wait(ProcessHandle process, std::uint32_t milliseconds) {
  return WaitForSingleObject(ToHandle(process), milliseconds);
}

Status Win32Processes::CloseHandle(ProcessHandle handle) {
  return ::CloseHandle(ToHandle(handle)) ? kSuccess : LastError();
}

}  // namespace nebrin::platform::win32
