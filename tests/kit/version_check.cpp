// Reads a binary's version resource as Windows programs do (version.dll) and checks it against
// the project's version. Usage: version_check FILE VERSION ORIGINAL-NAME. Prints one line per
// check; the exit status is the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool passed, const std::wstring& what) {
  std::printf("%s %ls\n", passed ? "ok     " : "FAILED ", what.c_str());
  if (!passed) ++g_failures;
}

// A string of the resource's US English, Unicode block; empty when missing.
std::wstring Text(std::vector<BYTE>& resource, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(resource.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
      value == nullptr) {
    return L"";
  }
  return std::wstring(value, wcsnlen(value, length));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: version_check FILE VERSION ORIGINAL-NAME\n");
    return 100;
  }
  const std::wstring file = argv[1];
  const std::wstring version = argv[2];
  const std::wstring original = argv[3];

  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  Check(size != 0, L"the file has a version resource");
  if (size == 0) return g_failures;
  std::vector<BYTE> resource(size);
  Check(GetFileVersionInfoW(file.c_str(), 0, size, resource.data()) != 0, L"it can be read");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  const bool hasFixed =
      VerQueryValueW(resource.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
      fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO);
  Check(hasFixed && fixed->dwSignature == 0xFEEF04BD, L"it has the fixed file information");
  if (hasFixed) {
    wchar_t numbers[64];
    std::swprintf(numbers, 64, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS));
    Check(numbers == version && LOWORD(fixed->dwFileVersionLS) == 0,
          L"the file version is " + version + L".0 (" + numbers + L")");
    Check(fixed->dwProductVersionMS == fixed->dwFileVersionMS &&
              fixed->dwProductVersionLS == fixed->dwFileVersionLS,
          L"the product version is the file version");
  }
  Check(Text(resource, L"FileVersion") == version, L"FileVersion is " + version);
  Check(Text(resource, L"ProductVersion") == version, L"ProductVersion is " + version);
  Check(Text(resource, L"OriginalFilename") == original, L"OriginalFilename is " + original);
  const std::wstring description = Text(resource, L"FileDescription");
  Check(!description.empty(), L"FileDescription: " + description);
  const std::wstring copyright = Text(resource, L"LegalCopyright");
  Check(copyright.rfind(L"Copyright", 0) == 0, L"LegalCopyright: " + copyright);
  Check(Text(resource, L"ProductName") == L"Nebrin", L"ProductName is Nebrin");
  return g_failures;
}
