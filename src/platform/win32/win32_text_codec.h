// The text conversion service over MultiByteToWideChar / WideCharToMultiByte.
#pragma once

#include "platform/text_codec.h"

namespace nebrin::platform::win32 {

class Win32TextCodec final : public TextCodec {
 public:
  Status ToWide(CodePage page, std::string_view text, std::u16string& wide) override;
  Status ToNarrow(CodePage page, std::u16string_view wide, std::string& text) override;
};

}  // namespace nebrin::platform::win32
