// The adapter list service over IP Helper's GetAdaptersInfo.
#pragma once

#include "platform/adapter_list.h"

namespace nebrin::platform::win32 {

class Win32AdapterList final : public AdapterList {
 public:
  Status QuerySize(std::uint32_t& bytes) override;
  Status Fill(std::uint32_t bytes, std::vector<AdapterListEntry>& entries) override;
};

}  // namespace nebrin::platform::win32
