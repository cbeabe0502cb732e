// Adapter discovery: captures the IPv4 settings of the machine's wired and wireless adapters
// into a profile's adapter records.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "frame/shared_objects.h"
#include "netstate/registry_paths.h"
#include "platform/platform.h"
#include "platform/registry_key.h"

namespace nebrin::netstate {
namespace {

using frame::SetField;
using platform::Access;
using platform::AdapterListEntry;
using platform::kLocalMachine;
using platform::kSuccess;
using platform::Registry;
using platform::Status;
using platform::UniqueKey;

// Buffer sizes, in UTF-16 units, of the texts discovery reads.
constexpr std::size_t kGuidBuffer = 200;
constexpr std::size_t kAddressBuffer = 500;
constexpr std::size_t kShortValue = 50;
constexpr std::size_t kLongValue = 100;

// The service name of the Bluetooth network adapter driver; such adapters are not kept.
constexpr char16_t kBluetoothService[] = u"BTWDNDIS";

// The six texts of an adapter's TCP/IP interface key; a missing value leaves its text empty.
struct InterfaceTexts {
  std::u16string subnetMask;
  std::u16string dhcpSubnetMask;
  std::u16string ipAddress;
  std::u16string defaultGateway;
  std::u16string nameServer;
  std::u16string dhcpNameServer;
};

// MultiByteToWideChar on the ANSI code page into a buffer of `buffer` units, terminator included.
bool Widen(const std::string& text, std::size_t buffer, std::u16string& wide) {
  if (platform::Current().text().ToWide(platform::CodePage::Ansi, text, wide) != kSuccess) {
    return false;
  }
  return wide.size() < buffer;
}

// Reads the interface texts; false when the key does not open or "IPAddress" is missing.
bool ReadInterfaceTexts(Registry& registry, const std::u16string& guid, InterfaceTexts& texts) {
  UniqueKey key;
  if (platform::OpenKey(registry, kLocalMachine, TcpipInterfaceKey(guid), Access::Read, key) !=
      kSuccess) {
    return false;
  }
  platform::ReadText(registry, key.get(), u"SubnetMask", kShortValue, texts.subnetMask);
  platform::ReadText(registry, key.get(), u"DhcpSubnetMask", kShortValue, texts.dhcpSubnetMask);
  const Status address =
      platform::ReadText(registry, key.get(), u"IPAddress", kShortValue, texts.ipAddress);
  platform::ReadText(registry, key.get(), u"DefaultGateway", kShortValue, texts.defaultGateway);
  platform::ReadText(registry, key.get(), u"NameServer", kLongValue, texts.nameServer);
  platform::ReadText(registry, key.get(), u"DhcpNameServer", kLongValue, texts.dhcpNameServer);
  return address == kSuccess;
}

// Reads "InterfaceMetric" of a static adapter (0 when it cannot be read); false when the key
// does not open.
bool ReadMetric(Registry& registry, const std::u16string& guid, bool dhcp, std::uint32_t& metric) {
  UniqueKey key;
  if (platform::OpenKey(registry, kLocalMachine, TcpipInterfaceKey(guid), Access::Read, key) !=
      kSuccess) {
    return false;
  }
  metric = 0;
  if (!dhcp && platform::ReadDword(registry, key.get(), u"InterfaceMetric", metric) != kSuccess) {
    metric = 0;
  }
  return true;
}

bool IsBluetooth(Registry& registry, const std::u16string& pnp) {
  UniqueKey key;
  if (platform::OpenKey(registry, kLocalMachine, EnumKey(pnp), Access::Read, key) != kSuccess) {
    return false;
  }
  std::u16string service;
  return platform::ReadText(registry, key.get(), u"Service", kLongValue, service) == kSuccess &&
         service == kBluetoothService;
}

// Fills the address fields that depend on the adapter's mode.
// The name-server lists are split by the shared CNetInfoManage object's splitters.
bool FillAddresses(AdapterInfoStr* adapters, int index, const AdapterListEntry& listed,
                   const InterfaceTexts& texts, std::uint32_t metric) {
  AdapterInfoStr& entry = adapters[index];
  NebrinChar list[kLongValue];
  if (listed.dhcpEnabled) {
    std::u16string address;
    std::u16string gateway;
    if (!Widen(listed.ipAddress, kAddressBuffer, address) ||
        !Widen(listed.gateway, kAddressBuffer, gateway)) {
      return false;
    }
    SetField(entry.DhcpEnabled, u"yes");
    SetField(entry.IpAddressList, address);
    const bool noLease = address.empty() || address == u"0.0.0.0";
    SetField(entry.SubnetMask, noLease ? std::u16string(u"0.0.0.0") : texts.dhcpSubnetMask);
    SetField(entry.GatewayList, gateway);
    if (!texts.dhcpNameServer.empty()) {
      SetField(list, texts.dhcpNameServer);
      frame::SharedManage().GetDHCPDNSAddress(adapters, list, index);
    }
  } else {
    SetField(entry.DhcpEnabled, u"no");
    SetField(entry.IpAddressList, texts.ipAddress);
    SetField(entry.SubnetMask, texts.subnetMask);
    SetField(entry.GatewayList, texts.defaultGateway);
    if (!texts.nameServer.empty()) {
      SetField(list, texts.nameServer);
      frame::SharedManage().GetDNSAddress(adapters, list, index);
    }
    // Numbers are written as signed decimal text.
    const std::string decimal = std::to_string(static_cast<std::int32_t>(metric));
    SetField(entry.Metric, std::u16string(decimal.begin(), decimal.end()));
  }
  return true;
}

// Reads the device description through the adapter's plug-and-play id.
bool ReadDeviceDesc(Registry& registry, platform::KeyHandle connection, AdapterInfoStr& entry) {
  std::u16string pnp;
  if (platform::ReadText(registry, connection, u"PnpInstanceID", kLongValue, pnp) != kSuccess) {
    return false;
  }
  UniqueKey device;
  if (platform::OpenKey(registry, kLocalMachine, EnumKey(pnp), Access::Read, device) != kSuccess) {
    return false;
  }
  std::u16string desc;
  if (platform::ReadText(registry, device.get(), u"DeviceDesc", kLongValue, desc) != kSuccess) {
    return false;
  }
  SetField(entry.DeviceDesc, desc);
  return true;
}

enum class Outcome { Kept, Dropped, Failed };

// Examines one adapter of the list and, when it is kept, fills the next free entry.
Outcome Examine(const AdapterListEntry& listed, EnvInfoStr& env, AdapterInfoStr* adapters) {
  Registry& registry = platform::Current().registry();

  std::u16string guid;
  if (!Widen(listed.adapterName, kGuidBuffer, guid)) return Outcome::Failed;

  InterfaceTexts texts;
  if (!ReadInterfaceTexts(registry, guid, texts)) return Outcome::Failed;
  std::uint32_t metric = 0;
  if (!ReadMetric(registry, guid, listed.dhcpEnabled, metric)) return Outcome::Failed;

  UniqueKey connection;
  if (platform::OpenKey(registry, kLocalMachine, ConnectionKey(guid), Access::Read, connection) !=
      kSuccess) {
    return Outcome::Dropped;  // an IP stack without a network connection
  }
  std::uint32_t media = 0;
  std::u16string pnp;
  if (platform::ReadDword(registry, connection.get(), u"MediaSubType", media) != kSuccess ||
      platform::ReadText(registry, connection.get(), u"PnpInstanceID", kLongValue, pnp) !=
          kSuccess) {
    return Outcome::Failed;
  }
  const bool bluetooth = IsBluetooth(registry, pnp);
  const bool rootEnumerated = pnp.compare(0, 4, u"ROOT") == 0;
  if (rootEnumerated || (media != 1 && media != 2) || bluetooth) return Outcome::Dropped;

  // The array has ten entries: an eleventh kept adapter cannot be recorded, and the capture is
  // reported as failed with the first ten complete.
  if (env.AdapterCount < 0 || env.AdapterCount >= NEBRIN_ADAPTER_RECORDS) return Outcome::Failed;
  AdapterInfoStr& entry = adapters[env.AdapterCount];

  // An identifier cut short would name another adapter.
  if (!frame::FitsField(entry.AdapterName, guid)) return Outcome::Failed;
  SetField(entry.AdapterName, guid);
  if (!FillAddresses(adapters, env.AdapterCount, listed, texts, metric)) return Outcome::Failed;

  std::u16string primaryWins;
  std::u16string secondaryWins;
  if (!Widen(listed.primaryWins, kAddressBuffer, primaryWins) ||
      !Widen(listed.secondaryWins, kAddressBuffer, secondaryWins)) {
    return Outcome::Failed;
  }
  SetField(entry.PrimaryWinsServer, primaryWins);
  SetField(entry.SecondaryWinsServer, secondaryWins);

  std::u16string name;
  if (platform::ReadText(registry, connection.get(), u"Name", kShortValue, name) != kSuccess) {
    return Outcome::Failed;
  }
  SetField(entry.ConnectionName, name);
  if (!ReadDeviceDesc(registry, connection.get(), entry)) return Outcome::Failed;
  SetField(entry.MediaSubType, media == 1 ? u"line" : u"air");

  ++env.AdapterCount;
  return Outcome::Kept;
}

}  // namespace
}  // namespace nebrin::netstate

int CNetInfoRetrieve::IPRetrieve(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (env == nullptr || adapters == nullptr) return 0;
    std::vector<platform::AdapterListEntry> entries;
    if (!platform::ReadAdapterList(platform::Current().adapters(), entries)) return 0;

    env->AdapterCount = 0;
    for (const auto& listed : entries) {
      if (netstate::Examine(listed, *env, adapters) == netstate::Outcome::Failed) return 0;
    }
    return 1;
  });
}
