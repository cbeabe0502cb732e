// The registry service of the simulated machine: Win32 registry semantics over the key tree.
#pragma once

#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

struct Key;

class SimRegistry final : public platform::Registry {
 public:
  explicit SimRegistry(Machine::State& machine) : machine_(machine) {}

  Status OpenKey(platform::KeyHandle parent, const std::u16string& path, platform::Access access,
                 platform::KeyHandle& key) override;
  Status CreateKey(platform::KeyHandle parent, const std::u16string& path, platform::Access access,
                   platform::KeyHandle& key, bool& created) override;
  void CloseKey(platform::KeyHandle key) override;
  Status QueryValue(platform::KeyHandle key, const std::u16string& name, RegType& type, void* data,
                    std::uint32_t& size) override;
  Status SetValue(platform::KeyHandle key, const std::u16string& name, RegType type,
                  const void* data, std::uint32_t size) override;
  Status DeleteValue(platform::KeyHandle key, const std::u16string& name) override;
  Status DeleteKey(platform::KeyHandle parent, const std::u16string& subkey) override;
  Status EnumKey(platform::KeyHandle key, std::uint32_t index, std::u16string& name) override;
  Status EnumValue(platform::KeyHandle key, std::uint32_t index, std::u16string& name) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
