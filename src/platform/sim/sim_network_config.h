// The simulated machine's network configuration objects and its store of setup files. A
// configuration is a COM object of the machine; its write lock is one for the whole machine
// (another client may hold it, as the machine file says) and belongs to the configuration that
// took it until that configuration releases it or its last reference goes. A configuration must
// be initialised before it is used, changes need the write lock and take effect when applied,
// and a component can be installed only from a setup file in the store that names it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/network_config.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

class SimNetworkConfig final : public platform::NetworkConfig {
 public:
  explicit SimNetworkConfig(Machine::State& machine) : machine_(machine) {}

  platform::HResult CreateNetCfg(platform::ComRef& netCfg) override;
  platform::HResult QueryLock(platform::ComRef netCfg, platform::ComRef& lock) override;
  platform::HResult AcquireWriteLock(platform::ComRef lock, std::uint32_t timeoutMs,
                                     std::u16string_view description,
                                     std::u16string& holder) override;
  platform::HResult ReleaseWriteLock(platform::ComRef lock) override;
  platform::HResult Initialize(platform::ComRef netCfg) override;
  platform::HResult Uninitialize(platform::ComRef netCfg) override;
  platform::HResult Apply(platform::ComRef netCfg) override;
  platform::HResult QueryProtocolClassSetup(platform::ComRef netCfg,
                                            platform::ComRef& classSetup) override;
  platform::HResult Install(platform::ComRef classSetup, std::u16string_view componentId,
                            platform::ComRef& component) override;
  Status CopySetupFile(std::u16string_view source, std::u16string& destination) override;

  // The write lock as the configurations of this process hold it: the holder's description.
  struct WriteLock {
    std::optional<std::string> holder;
  };
  // The description of the client that holds the write lock through this service, if one does.
  const std::optional<std::string>& lock_holder() const { return lock_->holder; }

 private:
  Machine::State& machine_;
  // Shared with the configuration objects, which release it when their last reference goes.
  std::shared_ptr<WriteLock> lock_ = std::make_shared<WriteLock>();
};

// The folder of the setup-file store: "inf" beside the system directory.
std::string SetupFileFolder(const std::string& systemDirectory);

}  // namespace nebrin::sim
