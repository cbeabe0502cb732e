#include "frame/record_text.h"

namespace nebrin::frame {

std::u16string ParamText(const NebrinChar* text) {
  std::u16string result;
  if (text == nullptr) return result;
  for (; *text != 0; ++text) result.push_back(static_cast<char16_t>(*text));
  return result;
}

}  // namespace nebrin::frame
