// File service: writing a file through a handle (CreateFileW with GENERIC_WRITE and no sharing,
// SetFilePointer, WriteFile, CloseHandle).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/status.h"

namespace nebrin::platform {

// An open file handle; 0 is no handle.
using FileHandle = std::uintptr_t;
inline constexpr FileHandle kNoFile = 0;

inline constexpr Status kSharingViolation = 32;  // ERROR_SHARING_VIOLATION

enum class Disposition {
  CreateAlways,  // CREATE_ALWAYS: an existing file is emptied, a missing one created
  OpenExisting,  // OPEN_EXISTING: a missing file fails with kFileNotFound
};

class Files {
 public:
  virtual ~Files() = default;

  // CreateFileW(name, GENERIC_WRITE, share mode 0, no security attributes, disposition,
  // FILE_ATTRIBUTE_NORMAL). A relative name is resolved against the current directory. While the
  // handle is open nobody else can open the file (kSharingViolation).
  virtual Status OpenFile(std::u16string_view name, Disposition disposition,
                            FileHandle& file) = 0;
  // SetFilePointer(file, 0, no high part, FILE_END).
  virtual Status SeekToEnd(FileHandle file) = 0;
  // WriteFile of all of `bytes` at the file pointer; `written` counts the bytes written.
  virtual Status Write(FileHandle file, std::string_view bytes, std::uint32_t& written) = 0;
  // CloseHandle of a file handle.
  virtual Status CloseFile(FileHandle file) = 0;
};

}  // namespace nebrin::platform
