// The shell's Network Connections folder: creating the folder object (IShellFolder), parsing a
// connection's display name into an item identifier, the item's context menu (IContextMenu),
// invoking a menu command by its identifier offset, and the shell's task allocator (IMalloc) that
// item identifiers are freed with. Interface pointers cross the seam as ComRefs (released through
// Com::Release); an item identifier is a block of the shell allocator, owned by UniqueItemIdList.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/com.h"
#include "platform/hresult.h"

namespace nebrin::platform {

// An item identifier list (PIDLIST_RELATIVE) the folder allocated; 0 is none.
using ItemIdList = std::uintptr_t;
inline constexpr ItemIdList kNoItemIdList = 0;

class ConnectionsFolder {
 public:
  virtual ~ConnectionsFolder() = default;

  // CoCreateInstance of the Network Connections folder {7007ACC7-3202-11D1-AAD2-00805FC1270E},
  // in-process (CLSCTX_INPROC_SERVER), for IShellFolder.
  virtual HResult CreateFolder(ComRef& folder) = 0;
  // IShellFolder::ParseDisplayName with no window, no bind context and no attribute query: the
  // connection's item identifier, allocated with the shell allocator.
  virtual HResult ParseDisplayName(ComRef folder, std::u16string_view name, ItemIdList& item) = 0;
  // IShellFolder::GetUIObjectOf with no window, for the one item, asking for IContextMenu.
  virtual HResult GetContextMenu(ComRef folder, ItemIdList item, ComRef& menu) = 0;
  // IContextMenu::InvokeCommand with a CMINVOKECOMMANDINFO of 36 bytes, all zero but its size and
  // its verb, the command identifier offset in integer-resource form.
  virtual HResult InvokeCommand(ComRef menu, std::uint16_t commandOffset) = 0;
  // SHGetMalloc: the shell's task allocator.
  virtual HResult GetMalloc(ComRef& allocator) = 0;
  // IMalloc::Free of an item identifier with the shell's allocator.
  virtual void Free(ComRef allocator, ItemIdList item) = 0;
  // CoTaskMemFree: on this generation the shell's allocator is COM's task allocator, so this frees
  // an item identifier when the allocator itself cannot be had.
  virtual void FreeTaskMemory(ItemIdList item) = 0;
};

// Owns one item identifier and frees it with the shell's allocator: SHGetMalloc, IMalloc::Free,
// and the release of the allocator; COM's task allocator frees it when SHGetMalloc fails.
class UniqueItemIdList {
 public:
  UniqueItemIdList(ConnectionsFolder& folder, Com& com) : folder_(folder), com_(com) {}
  ~UniqueItemIdList() { reset(); }
  UniqueItemIdList(const UniqueItemIdList&) = delete;
  UniqueItemIdList& operator=(const UniqueItemIdList&) = delete;

  ItemIdList get() const { return item_; }
  ItemIdList& receive() {
    reset();
    return item_;
  }
  void reset() {
    const ItemIdList item = std::exchange(item_, kNoItemIdList);
    if (item == kNoItemIdList) return;
    UniqueComRef allocator(com_);
    if (Failed(folder_.GetMalloc(allocator.receive())) || !allocator) {
      folder_.FreeTaskMemory(item);
      return;
    }
    folder_.Free(allocator.get(), item);
  }

 private:
  ConnectionsFolder& folder_;
  Com& com_;
  ItemIdList item_ = kNoItemIdList;
};

}  // namespace nebrin::platform
