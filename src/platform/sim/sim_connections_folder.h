// The simulated machine's Network Connections folder: it knows the sharing manager's connections
// by name, hands out the folder, context-menu and allocator objects as COM references, allocates
// item identifiers with the shell's allocator (counted as open until freed), and carries out the
// menu command at offset 24, which switches the connection between enabled and disabled.
#pragma once

#include <map>
#include <string>

#include "platform/connections_folder.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

// The command offset the folder's connection menu carries out.
inline constexpr std::uint16_t kToggleEnabledOffset = 24;

class SimConnectionsFolder final : public platform::ConnectionsFolder {
 public:
  explicit SimConnectionsFolder(Machine::State& machine) : machine_(machine) {}

  platform::HResult CreateFolder(platform::ComRef& folder) override;
  platform::HResult ParseDisplayName(platform::ComRef folder, std::u16string_view name,
                                     platform::ItemIdList& item) override;
  platform::HResult GetContextMenu(platform::ComRef folder, platform::ItemIdList item,
                                   platform::ComRef& menu) override;
  platform::HResult InvokeCommand(platform::ComRef menu, std::uint16_t commandOffset) override;
  platform::HResult GetMalloc(platform::ComRef& allocator) override;
  void Free(platform::ComRef allocator, platform::ItemIdList item) override;
  void FreeTaskMemory(platform::ItemIdList item) override;

  // Item identifiers allocated and not yet freed.
  std::size_t OpenCount() const { return items_.size(); }

 private:
  Machine::State& machine_;
  std::map<platform::ItemIdList, std::string> items_;  // item -> connection GUID
  platform::ItemIdList next_ = 0x00A40000;
};

}  // namespace nebrin::sim
