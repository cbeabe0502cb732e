// The Network Connections folder through the shell's COM objects (IShellFolder, IContextMenu) and
// the shell's allocator (SHGetMalloc, IMalloc).
#pragma once

#include "platform/connections_folder.h"

namespace nebrin::platform::win32 {

class Win32ConnectionsFolder final : public ConnectionsFolder {
 public:
  HResult CreateFolder(ComRef& folder) override;
  HResult ParseDisplayName(ComRef folder, std::u16string_view name, ItemIdList& item) override;
  HResult GetContextMenu(ComRef folder, ItemIdList item, ComRef& menu) override;
  HResult InvokeCommand(ComRef menu, std::uint16_t commandOffset) override;
  HResult GetMalloc(ComRef& allocator) override;
  void Free(ComRef allocator, ItemIdList item) override;
  void FreeTaskMemory(ItemIdList item) override;
};

}  // namespace nebrin::platform::win32
