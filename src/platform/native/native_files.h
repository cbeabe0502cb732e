// Linux's files for the file service: the script is a real file, named relative to the current
// directory; an exclusive lock stands for Windows' share mode 0.
#pragma once

#include <map>

#include "platform/files.h"

namespace nebrin::platform::native {

class NativeFiles final : public Files {
 public:
  ~NativeFiles() override;
  Status OpenFile(std::u16string_view name, Disposition disposition, FileHandle& file) override;
  Status SeekToEnd(FileHandle file) override;
  Status Write(FileHandle file, std::string_view bytes, std::uint32_t& written) override;
  Status CloseFile(FileHandle file) override;

 private:
  // Open descriptors by handle; handles are the descriptor plus one, so 0 stays "no handle".
  std::map<FileHandle, int> open_;
};

}  // namespace nebrin::platform::native
