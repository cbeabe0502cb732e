#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "durable_file.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const char* step, DWORD error) {
  throw std::runtime_error(PathUtf8(file) + ": cannot " + step + " (Windows error " +
                           std::to_string(error) + ")");
}

}  // namespace

void ReplaceFileDurably(const std::filesystem::path& target, const std::string& text) {
  std::filesystem::path temporary = target;
  temporary += L".tmp";
  DeleteFileW(temporary.c_str());  // a leftover, or a link planted there: never written through
  // CREATE_NEW never opens what is there; the reparse-point flag keeps a link from being followed.
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail(temporary, "create", GetLastError());
  DWORD error = 0;
  std::size_t done = 0;
  while (done < text.size() && error == 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr)) error = GetLastError();
    done += written;
  }
  if (error == 0 && !FlushFileBuffers(file)) error = GetLastError();
  if (!CloseHandle(file) && error == 0) error = GetLastError();
  if (error == 0 && !MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != 0) {
    DeleteFileW(temporary.c_str());
    Fail(target, "write", error);
  }
}

}  // namespace nebrin::host
