// COM on the calling thread (CoInitialize, CoUninitialize, CoInitializeSecurity) and the release
// of interface references: a ComRef is the IUnknown pointer itself.
#pragma once

#include "platform/com.h"

namespace nebrin::platform::win32 {

class Win32Com final : public Com {
 public:
  HResult Initialize() override;
  void Uninitialize() override;
  HResult InitializeSecurity() override;
  void Release(ComRef object) override;
};

// The reference of an interface pointer, and back.
template <typename Interface>
ComRef ToComRef(Interface* pointer) {
  return reinterpret_cast<ComRef>(pointer);
}
template <typename Interface>
Interface* FromComRef(ComRef object) {
  return reinterpret_cast<Interface*>(object);
}

}  // namespace nebrin::platform::win32
