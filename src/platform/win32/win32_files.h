// The file service over CreateFileW, SetFilePointer, WriteFile and CloseHandle.
#pragma once

#include "platform/files.h"

namespace nebrin::platform::win32 {

class Win32Files final : public Files {
 public:
  Status OpenFile(std::u16string_view name, Disposition disposition, FileHandle& file) override;
  Status SeekToEnd(FileHandle file) override;
  Status Write(FileHandle file, std::string_view bytes, std::uint32_t& written) override;
  Status CloseFile(FileHandle file) override;
};

}  // namespace nebrin::platform::win32
