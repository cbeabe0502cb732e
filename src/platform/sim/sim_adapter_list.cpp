#include "platform/sim/sim_adapter_list.h"

#include <new>

#include "platform/native/iconv_text.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::kBufferOverflow;
using platform::kNoData;
using platform::kNotEnoughMemory;
using platform::kSuccess;

// The list hands out ANSI code page texts, as GetAdaptersInfo does.
std::string ToAnsi(const Machine::State& machine, std::u16string_view text) {
  std::string ansi;
  if (platform::native::WideToBytes(machine.system.ansiCodePage, text, ansi) != kSuccess) {
    ansi = Utf16ToUtf8(text);  // a code page iconv does not know: keep the text readable
  }
  return ansi;
}

// The first string of a value of the interface key, or `fallback` when it is missing or empty.
std::string FirstString(const Machine::State& machine, const Key* key, std::u16string_view name,
                        std::string_view fallback) {
  const NamedValue* value = key ? key->FindValue(name) : nullptr;
  std::u16string text = value ? sim::FirstString(value->value.bytes) : std::u16string();
  return text.empty() ? std::string(fallback) : ToAnsi(machine, text);
}

bool DhcpEnabled(const Key* key) {
  const NamedValue* value = key ? key->FindValue(u"EnableDHCP") : nullptr;
  if (value == nullptr || value->value.type != RegType::Dword || value->value.bytes.size() != 4) {
    return false;
  }
  const auto& b = value->value.bytes;
  return (b[0] | b[1] | b[2] | b[3]) != 0;
}

platform::AdapterListEntry MakeEntry(const Machine::State& machine, const ListedAdapter& listed) {
  const Key* tcpip = FindPath(*machine.localMachine, Utf8ToUtf16(TcpipInterfaceKey(listed.guid)));
  platform::AdapterListEntry entry;
  entry.adapterName = listed.guid;
  entry.description = ToAnsi(machine, Utf8ToUtf16(listed.description));
  entry.index = listed.index;
  entry.type = listed.type;
  entry.dhcpEnabled = DhcpEnabled(tcpip);
  if (entry.dhcpEnabled) {
    entry.ipAddress = FirstString(machine, tcpip, u"DhcpIPAddress", "0.0.0.0");
    entry.ipMask = FirstString(machine, tcpip, u"DhcpSubnetMask", "0.0.0.0");
    entry.gateway = FirstString(machine, tcpip, u"DhcpDefaultGateway", "");
    entry.dhcpServer = FirstString(machine, tcpip, u"DhcpServer", "");
  } else {
    entry.ipAddress = FirstString(machine, tcpip, u"IPAddress", "0.0.0.0");
    entry.ipMask = FirstString(machine, tcpip, u"SubnetMask", "0.0.0.0");
    entry.gateway = FirstString(machine, tcpip, u"DefaultGateway", "");
  }
  entry.primaryWins = ToAnsi(machine, Utf8ToUtf16(listed.primaryWins));
  entry.secondaryWins = ToAnsi(machine, Utf8ToUtf16(listed.secondaryWins));
  return entry;
}

}  // namespace

Status SimAdapterList::QuerySize(std::uint32_t& bytes) {
  if (Status fault = machine_.accounting.Enter(Service::AdapterList)) return fault;
  if (machine_.adapters.empty()) {
    bytes = 0;
    return kNoData;
  }
  bytes = kAdapterInfoSize * static_cast<std::uint32_t>(machine_.adapters.size());
  return kBufferOverflow;
}

Status SimAdapterList::Fill(std::uint32_t bytes, std::vector<platform::AdapterListEntry>& entries) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::AdapterList)) return fault;
    if (machine_.adapters.empty()) return kNoData;
    if (bytes < kAdapterInfoSize * machine_.adapters.size()) return kBufferOverflow;
    std::vector<platform::AdapterListEntry> filled;
    filled.reserve(machine_.adapters.size());
    for (const auto& listed : machine_.adapters) filled.push_back(MakeEntry(machine_, listed));
    entries = std::move(filled);
    return kSuccess;
  } catch (const std::bad_alloc&) {
    return kNotEnoughMemory;
  }
}

}  // namespace nebrin::sim
