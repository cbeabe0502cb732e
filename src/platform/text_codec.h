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

  // 8-bit text of the code page to UTF-16, without flags: bytes the page does not define become
  // the characters the system gives them, never a failure.
  virtual Status ToWide(CodePage page, std::string_view text, std::u16string& wide) = 0;
  // UTF-16 to the code page, without flags: a character the page lacks becomes its best fit where
  // the page's table has one (U+FF02 becomes '"'), else the default character ('?').
  virtual Status ToNarrow(CodePage page, std::u16string_view wide, std::string& text) = 0;
};

}  // namespace nebrin::platform
