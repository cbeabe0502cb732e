#include "platform/win32/win32_adapter_list.h"

// winsock2.h must come before windows.h, and iphlpapi.h needs both.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstring>
#include <memory>

namespace nebrin::platform::win32 {
namespace {

// The list's texts are fixed char arrays that Windows terminates; read them bounded anyway.
template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

AdapterListEntry ToEntry(const IP_ADAPTER_INFO& info) {
  AdapterListEntry entry;
  entry.adapterName = Text(info.AdapterName);
  entry.description = Text(info.Description);
  entry.index = info.Index;
  entry.type = info.Type;
  entry.dhcpEnabled = info.DhcpEnabled != 0;
  entry.ipAddress = Text(info.IpAddressList.IpAddress.String);
  entry.ipMask = Text(info.IpAddressList.IpMask.String);
  entry.gateway = Text(info.GatewayList.IpAddress.String);
  entry.dhcpServer = Text(info.DhcpServer.IpAddress.String);
  entry.primaryWins = Text(info.PrimaryWinsServer.IpAddress.String);
  entry.secondaryWins = Text(info.SecondaryWinsServer.IpAddress.String);
  return entry;
}

}  // namespace

Status Win32AdapterList::QuerySize(std::uint32_t& bytes) {
  ULONG size = 0;
  const DWORD result = GetAdaptersInfo(nullptr, &size);
  bytes = size;
  return static_cast<Status>(result);
}

Status Win32AdapterList::Fill(std::uint32_t bytes, std::vector<AdapterListEntry>& entries) {
  entries.clear();
  // Zero-filled, and aligned for IP_ADAPTER_INFO by operator new[].
  std::unique_ptr<std::byte[]> block(bytes != 0 ? new (std::nothrow) std::byte[bytes]() : nullptr);
  if (bytes != 0 && !block) return kNotEnoughMemory;

  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(block.get());
  ULONG size = bytes;
  const DWORD result = GetAdaptersInfo(first, &size);
  if (result != ERROR_SUCCESS) return static_cast<Status>(result);

  for (const IP_ADAPTER_INFO* info = first; info != nullptr; info = info->Next) {
    entries.push_back(ToEntry(*info));
  }
  return kSuccess;
}

}  // namespace nebrin::platform::win32
