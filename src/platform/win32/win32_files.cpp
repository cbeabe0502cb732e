#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
Status LastError() { return static_cast<Status>(GetLastError()); }

}  // namespace

Status Win32Files::OpenFile(std::u16string_view name, Disposition disposition, FileHandle& file) {
  const std::wstring path = ToWin(name);
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                              disposition == Disposition::CreateAlways ? CREATE_ALWAYS
                                                                       : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  file = reinterpret_cast<FileHandle>(handle);
  return kSuccess;
}

Status Win32Files::SeekToEnd(FileHandle file) {
  SetLastError(ERROR_SUCCESS);
  const DWORD position = SetFilePointer(ToHandle(file), 0, nullptr, FILE_END);
  if (position == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return LastError();
  return kSuccess;
}

Status Win32Files::Write(FileHandle file, std::string_view bytes, std::uint32_t& written) {
  DWORD count = 0;
  const BOOL ok = WriteFile(ToHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &count,
                            nullptr);
  written = count;
  return ok ? kSuccess : LastError();
}

Status Win32Files::CloseFile(FileHandle file) {
  return CloseHandle(ToHandle(file)) ? kSuccess : LastError();
}

}  // namespace nebrin::platform::win32
