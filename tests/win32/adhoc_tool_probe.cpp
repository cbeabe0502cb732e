// Stands in for the ad hoc tool under Wine: writes how it was started (its command line and the
// window it was asked to show) to "probe.log" beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring log = module;
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"probe.log";

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const std::wstring text = L"command=" + std::wstring(GetCommandLineW()) + L"\nflags=" +
                            std::to_wstring(startup.dwFlags) + L"\nshow=" +
                            std::to_wstring(startup.wShowWindow) + L"\n";
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                  utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));

  FILE* out = _wfopen(log.c_str(), L"wb");
  if (out == nullptr) return 1;
  fwrite(utf8.data(), 1, utf8.size(), out);
  fclose(out);
  return 0;
}
