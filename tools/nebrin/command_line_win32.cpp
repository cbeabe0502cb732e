#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "command_line.h"
#include "host_text.h"

namespace nebrin::host {

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  int count = 0;
  std::unique_ptr<LPWSTR, HLOCAL (*)(HLOCAL)> args(CommandLineToArgvW(GetCommandLineW(), &count),
                                                   [](HLOCAL memory) { return LocalFree(memory); });
  if (!args) return {argv, argv + argc};  // no memory for the wide arguments: the C runtime's
  std::vector<std::string> utf8;
  for (int i = 0; i < count; ++i) {
    const wchar_t* arg = args.get()[i];
    utf8.push_back(ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(arg))));
  }
  return utf8;
}

}  // namespace nebrin::host
