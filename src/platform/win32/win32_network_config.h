// The network configuration objects (INetCfg, INetCfgLock, INetCfgClassSetup) and the Setup API's
// setup-file copy (SetupCopyOEMInfW).
#pragma once

#include "platform/network_config.h"

namespace nebrin::platform::win32 {

class Win32NetworkConfig final : public NetworkConfig {
 public:
  HResult CreateNetCfg(ComRef& netCfg) override;
  HResult QueryLock(ComRef netCfg, ComRef& lock) override;
  HResult AcquireWriteLock(ComRef lock, std::uint32_t timeoutMs, std::u16string_view description,
                           std::u16string& holder) override;
  HResult ReleaseWriteLock(ComRef lock) override;
  HResult Initialize(ComRef netCfg) override;
  HResult Uninitialize(ComRef netCfg) override;
  HResult Apply(ComRef netCfg) override;
  HResult QueryProtocolClassSetup(ComRef netCfg, ComRef& classSetup) override;
  HResult Install(ComRef classSetup, std::u16string_view componentId, ComRef& component) override;
  Status CopySetupFile(std::u16string_view source, std::u16string& destination) override;
};

}  // namespace nebrin::platform::win32
