// Connection diagnostics on one adapter record: the connection's media and enabled state from the
// sharing manager's connection list, and whether the gateway and DNS server answer echo requests.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace {

using nebrin::platform::NetworkConnection;

// Gateway and DNS server answers.
constexpr int kOnlyDnsAnswers = 50;
constexpr int kOnlyGatewayAnswers = 51;
constexpr int kNeitherAnswers = 52;
constexpr int kBothAnswer = 53;

constexpr int kEchoCount = 5;

bool ValidIndex(const AdapterInfoStr* adapters, int index) {
  return adapters != nullptr && index >= 0 && index < NEBRIN_ADAPTER_RECORDS;
}

// The status of the first connection whose Guid is the adapter's name (exact, case-sensitive),
// or nothing when the list cannot be had or no connection matches.
bool FindStatus(const AdapterInfoStr& adapter, std::uint32_t& status) {
  std::vector<NetworkConnection> connections;
  if (nebrin::platform::Failed(
          nebrin::platform::Current().connections().EnumerateConnections(connections))) {
    return false;
  }
  const std::u16string name = nebrin::frame::FieldText(adapter.AdapterName);
  for (const NetworkConnection& connection : connections) {
    if (connection.guid == name) {
      status = connection.status;
      return true;
    }
  }
  return false;
}

// 1 when the adapter's connection is found and its status is not `negative`.
int ConnectionCheck(const AdapterInfoStr* adapters, int index, std::uint32_t negative) {
  if (!ValidIndex(adapters, index)) return 0;
  try {
    std::uint32_t status = 0;
    if (!FindStatus(adapters[index], status)) return 0;
    return status != negative ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

// Echo test of a field's text, unchanged.
template <std::size_t N>
int PingField(CNetDiag& diag, const NebrinChar (&field)[N]) {
  NebrinChar host[N + 1];
  nebrin::frame::SetField(host, nebrin::frame::FieldText(field));
  return diag.Ping(kEchoCount, host);
}

}  // namespace

int CNetDiag::CheckOutCableConnection(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return ConnectionCheck(adapters, index, nebrin::platform::kNcsMediaDisconnected);
}

int CNetDiag::CheckOutHWEnableDisable(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return ConnectionCheck(adapters, index, nebrin::platform::kNcsDisconnected);
}

int CNetDiag::CheckOutNetConnectStatus(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  if (!ValidIndex(adapters, index)) return kNeitherAnswers;
  const AdapterInfoStr& adapter = adapters[index];
  const int gatewayOk = PingField(*this, adapter.GatewayList);
  int dnsOk = 0;
  if (!nebrin::frame::FieldIs(adapter.PrimaryDnsServer, u"") &&
      !nebrin::frame::FieldIs(adapter.PrimaryDnsServer, u"0.0.0.0")) {
    dnsOk = PingField(*this, adapter.PrimaryDnsServer);
  }
  if (gatewayOk == 1) return dnsOk == 1 ? kBothAnswer : kOnlyGatewayAnswers;
  return dnsOk == 1 ? kOnlyDnsAnswers : kNeitherAnswers;
}
