// The build's own platform on Windows: the real Win32 services.
#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_adapter_list.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_text_codec.h"

namespace nebrin::platform {
namespace {

class Win32Platform final : public Platform {
 public:
  Registry& registry() override { return registry_; }
  AdapterList& adapters() override { return adapters_; }
  SystemInfo& system() override { return system_; }
  TextCodec& text() override { return text_; }

 private:
  win32::Win32Registry registry_;
  win32::Win32AdapterList adapters_;
  win32::Win32SystemInfo system_;
  win32::Win32TextCodec text_;
};

}  // namespace

std::shared_ptr<Platform> MakeDefaultPlatform() { return std::make_shared<Win32Platform>(); }

}  // namespace nebrin::platform
