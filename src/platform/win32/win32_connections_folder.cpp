#include "platform/win32/win32_connections_folder.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_com.h"

namespace nebrin::platform::win32 {
namespace {

// The Network Connections folder class and the interfaces asked of it, by their published GUIDs.
constexpr CLSID kConnectionsFolder = {
    0x7007ACC7, 0x3202, 0x11D1, {0xAA, 0xD2, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kIShellFolder = {
    0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIContextMenu = {
    0x000214E4, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr DWORD kInProcessServer = 1;  // CLSCTX_INPROC_SERVER

static_assert(sizeof(void*) != 4 || sizeof(CMINVOKECOMMANDINFO) == 36,
              "the 32-bit command record is 36 bytes");

LPITEMIDLIST ToItem(ItemIdList item) { return reinterpret_cast<LPITEMIDLIST>(item); }

}  // namespace

HResult Win32ConnectionsFolder::CreateFolder(ComRef& folder) {
  IShellFolder* created = nullptr;
  const HRESULT result = CoCreateInstance(kConnectionsFolder, nullptr, kInProcessServer,
                                          kIShellFolder, reinterpret_cast<void**>(&created));
  folder = ToComRef(created);
  return result;
}

HResult Win32ConnectionsFolder::ParseDisplayName(ComRef folder, std::u16string_view name,
                                                 ItemIdList& item) {
  // The folder takes the name as writable text.
  std::wstring text = ToWin(name);
  LPITEMIDLIST parsed = nullptr;
  const HRESULT result = FromComRef<IShellFolder>(folder)->ParseDisplayName(
      nullptr, nullptr, text.data(), nullptr, &parsed, nullptr);
  item = reinterpret_cast<ItemIdList>(parsed);
  return result;
}

HResult Win32ConnectionsFolder::GetContextMenu(ComRef folder, ItemIdList item, ComRef& menu) {
  LPCITEMIDLIST items[1] = {ToItem(item)};
  IContextMenu* found = nullptr;
  const HRESULT result = FromComRef<IShellFolder>(folder)->GetUIObjectOf(
      nullptr, 1, items, kIContextMenu, nullptr, reinterpret_cast<void**>(&found));
  menu = ToComRef(found);
  return result;
}

HResult Win32ConnectionsFolder::InvokeCommand(ComRef menu, std::uint16_t commandOffset) {
  CMINVOKECOMMANDINFO command{};
  command.cbSize = sizeof(command);  // 36 bytes on the 32-bit product
  command.lpVerb = MAKEINTRESOURCEA(commandOffset);
  return FromComRef<IContextMenu>(menu)->InvokeCommand(&command);
}

HResult Win32ConnectionsFolder::GetMalloc(ComRef& allocator) {
  IMalloc* malloc = nullptr;
  const HRESULT result = SHGetMalloc(&malloc);
  allocator = ToComRef(malloc);
  return result;
}

void Win32ConnectionsFolder::Free(ComRef allocator, ItemIdList item) {
  FromComRef<IMalloc>(allocator)->Free(ToItem(item));
}

void Win32ConnectionsFolder::FreeTaskMemory(ItemIdList item) { CoTaskMemFree(ToItem(item)); }

}  // namespace nebrin::platform::win32
