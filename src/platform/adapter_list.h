// Adapter list service: the IP Helper adapter list (GetAdaptersInfo), one entry per adapter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace nebrin::platform {

// The fields of one IP_ADAPTER_INFO entry that the library reads. Texts are the platform's
// 8-bit (ANSI code page) texts; the address texts are the first item of each address list.
struct AdapterListEntry {
  std::string adapterName;  // the adapter GUID in braces
  std::string description;
  std::uint32_t index = 0;
  std::uint32_t type = 0;  // MIB_IF_TYPE_*
  bool dhcpEnabled = false;
  std::string ipAddress;
  std::string ipMask;
  std::string gateway;
  std::string dhcpServer;
  std::string primaryWins;
  std::string secondaryWins;
};

class AdapterList {
 public:
  virtual ~AdapterList() = default;

  // The size query (null buffer): kBufferOverflow with the bytes needed, kNoData when the machine
  // has no IP adapter, kSuccess when nothing is needed, or another error.
  virtual Status QuerySize(std::uint32_t& bytes) = 0;
  // The filling call into a block of `bytes`: kSuccess with the entries in the platform's order,
  // kBufferOverflow when the list no longer fits, or another error.
  virtual Status Fill(std::uint32_t bytes, std::vector<AdapterListEntry>& entries) = 0;
};

// The two-call read the library makes: the size query (any answer but kSuccess or
// kBufferOverflow fails), then the filling call into a block of that size.
bool ReadAdapterList(AdapterList& list, std::vector<AdapterListEntry>& entries);

}  // namespace nebrin::platform
