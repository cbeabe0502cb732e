// The platform seam: one interface per operating-system service, reached through one
// process-wide accessor. Subsystem code sees only these interfaces.
#pragma once

#include <memory>

#include "platform/adapter_list.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace nebrin::platform {

class Platform {
 public:
  virtual ~Platform() = default;

  virtual Registry& registry() = 0;
  virtual AdapterList& adapters() = 0;
  virtual SystemInfo& system() = 0;
  virtual TextCodec& text() = 0;
};

// The platform in force: the one a host installed, else the build's own (Win32 on Windows, Linux's
// native services elsewhere).
Platform& Current();

// The build's own platform, created on first use.
std::shared_ptr<Platform> MakeDefaultPlatform();

}  // namespace nebrin::platform
