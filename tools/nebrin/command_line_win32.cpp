#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "command_line.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

bool WholeUtf16(const std::u16string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  int count = 0;
  std::unique_ptr<LPWSTR, HLOCAL (*)(HLOCAL)> args(CommandLineToArgvW(GetCommandLineW(), &count),
                                                   [](HLOCAL memory) { return LocalFree(memory); });
  if (!args) return {argv, argv + argc};  // no memory for the wide arguments: the C runtime's
  std::vector<std::string> utf8;
  for (int i = 0; i < count; ++i) {
    const std::u16string arg(reinterpret_cast<const char16_t*>(args.get()[i]));
    // A surrogate without its partner is no character; passed on it would become U+FFFD and
    // store or open something other than what was given.
    if (!WholeUtf16(arg)) {
      throw std::runtime_error("argument " + std::to_string(i) +
                               " holds half of a UTF-16 surrogate pair, which is no character; "
                               "nothing was done");
    }
    utf8.push_back(ToUtf8(arg));
  }
  return utf8;
}

}  // namespace nebrin::host
