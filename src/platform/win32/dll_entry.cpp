// The library's entry point. All state is created on first use, so attach and detach have nothing
// to do (and must do nothing under the loader lock).
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
  return TRUE;
}
