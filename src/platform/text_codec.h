// Text conversion service: MultiByteToWideChar / WideCharToMultiByte on the ANSI or OEM code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace nebrin::platform {

enum class CodePage { Ansi, Oem };  // CP_ACP, CP_OEMCP

class TextCodec {
 public:
  virtual ~TextCodec() = default;

  // 8-bit text of the code page to UTF-16; kNoUnicodeTranslation for bytes the page cannot map.
  virtual Status ToWide(CodePage page, std::string_view text, std::u16string& wide) = 0;
  // UTF-16 to the code page; characters the page lacks become its default character ('?').
  virtual Status ToNarrow(CodePage page, std::u16string_view wide, std::string& text) = 0;
};

}  // namespace nebrin::platform
