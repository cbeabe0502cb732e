#include "netstate/adapter_confirmation.h"

#include "frame/record_text.h"
#include "netstate/registry_paths.h"
#include "platform/platform.h"
#include "platform/registry_key.h"

namespace nebrin::netstate {
namespace {

using frame::FieldText;
using platform::kSuccess;

constexpr std::size_t kGuidBuffer = 200;     // a listed adapter name, converted
constexpr std::size_t kAddressBuffer = 100;  // the first "IPAddress" string (200 bytes)

// Whether a fixed-address adapter's first "IPAddress" string is `address`.
bool HasFirstAddress(const std::u16string& guid, const std::u16string& address) {
  platform::Registry& registry = platform::Current().registry();
  platform::UniqueKey key;
  if (platform::OpenKey(registry, platform::kLocalMachine, TcpipInterfaceKey(guid),
                        platform::Access::Read, key) != kSuccess) {
    return false;
  }
  std::u16string first;
  return platform::ReadText(registry, key.get(), u"IPAddress", kAddressBuffer, first) == kSuccess &&
         first == address;
}

}  // namespace

// Whether the live list confirms one entry: the same adapter in the entry's mode and, for a fixed
// address, with the entry's address first.
bool Confirms(const std::vector<platform::AdapterListEntry>& entries, const AdapterInfoStr& entry) {
  const std::u16string name = FieldText(entry.AdapterName);
  const bool dhcp = frame::FieldIs(entry.DhcpEnabled, u"yes");
  for (const auto& listed : entries) {
    std::u16string converted;
    if (!ListedName(listed, converted) || converted != name) continue;
    if (dhcp && listed.dhcpEnabled) return true;
    if (!dhcp && !listed.dhcpEnabled &&
        HasFirstAddress(converted, FieldText(entry.IpAddressList))) {
      return true;
    }
  }
  return false;
}

bool ListedName(const platform::AdapterListEntry& listed, std::u16string& name) {
  if (platform::Current().text().ToWide(platform::CodePage::Ansi, listed.adapterName, name) !=
      kSuccess) {
    return false;
  }
  return name.size() < kGuidBuffer;
}

}  // namespace nebrin::netstate
