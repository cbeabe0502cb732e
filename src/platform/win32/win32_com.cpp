#include "platform/win32/win32_com.h"

#include <windows.h>
#include <objbase.h>

namespace nebrin::platform::win32 {

HResult Win32Com::Initialize() { return CoInitialize(nullptr); }

void Win32Com::Uninitialize() { CoUninitialize(); }

HResult Win32Com::InitializeSecurity() {
  return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                              RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

void Win32Com::Release(ComRef object) {
  if (object != kNoComRef) FromComRef<IUnknown>(object)->Release();
}

}  // namespace nebrin::platform::win32
