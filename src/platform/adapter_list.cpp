#include "platform/adapter_list.h"

namespace nebrin::platform {

bool ReadAdapterList(AdapterList& list, std::vector<AdapterListEntry>& entries) {
  std::uint32_t bytes = 0;
  const Status size = list.QuerySize(bytes);
  if (size != kSuccess && size != kBufferOverflow) return false;
  return list.Fill(bytes, entries) == kSuccess;
}

}  // namespace nebrin::platform
