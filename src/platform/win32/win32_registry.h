// The registry service over the Win32 registry API. Results are the API's own, passed through.
#pragma once

#include "platform/registry.h"

namespace nebrin::platform::win32 {

class Win32Registry final : public Registry {
 public:
  Status OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                 KeyHandle& key) override;
  Status CreateKey(KeyHandle parent, const std::u16string& path, Access access, KeyHandle& key,
                   bool& created) override;
  void CloseKey(KeyHandle key) override;
  Status QueryValue(KeyHandle key, const std::u16string& name, RegType& type, void* data,
                    std::uint32_t& size) override;
  Status SetValue(KeyHandle key, const std::u16string& name, RegType type, const void* data,
                  std::uint32_t size) override;
  Status DeleteValue(KeyHandle key, const std::u16string& name) override;
  Status DeleteKey(KeyHandle parent, const std::u16string& subkey) override;
  Status EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) override;
  Status EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) override;
};

}  // namespace nebrin::platform::win32
