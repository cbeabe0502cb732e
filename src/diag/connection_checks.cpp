// Connection diagnostics on one adapter record: the connection's media and enabled state from the
// sharing manager's connection list, and whether the gateway and DNS server answer echo requests.
#include <cstdint>
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "platform/sharing_walk.h"

namespace {

using namespace nebrin;

// Gateway and DNS server answers.
constexpr int kOnlyDnsAnswers = 50;
constexpr int kOnlyGatewayAnswers = 51;
constexpr int kNeitherAnswers = 52;
constexpr int kBothAnswer = 53;

constexpr int kEchoCount = 5;

bool ValidIndex(const AdapterInfoStr* adapters, int index) {
  return adapters != nullptr && index >= 0 && index < NEBRIN_ADAPTER_RECORDS;
}

// The status of the first connection whose Guid is the adapter's name (exact, case-sensitive):
// only that connection's Status is read, and the walk stops there. Nothing when the sharing
// manager or its connections cannot be had, no connection matches, or the Status cannot be read.
std::optional<std::uint32_t> FindStatus(const AdapterInfoStr& adapter) {
  platform::Platform& system = platform::Current();
  platform::SharingWalk walk(system.com(), system.connections());
  if (!walk.CreateManager() || !walk.OpenEnumerator()) return std::nullopt;
  const std::u16string name = frame::FieldText(adapter.AdapterName);
  platform::UniqueComRef connection(walk.com());
  while (walk.NextConnection(connection)) {
    platform::UniqueComRef props(walk.com());
    if (!walk.Props(connection, props) || walk.Guid(props) != name) continue;
    std::uint32_t status = 0;
    if (platform::Failed(walk.connections().Status(props.get(), status))) return std::nullopt;
    return status;
  }
  return std::nullopt;
}

// 1 when the adapter's connection is found and its status is not `negative`.
int ConnectionCheck(const AdapterInfoStr* adapters, int index, std::uint32_t negative) {
  if (!ValidIndex(adapters, index)) return 0;
  const std::optional<std::uint32_t> status = FindStatus(adapters[index]);
  return status && *status != negative ? 1 : 0;
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
  return frame::Guarded(
      0, [&] { return ConnectionCheck(adapters, index, platform::kNcsMediaDisconnected); });
}

int CNetDiag::CheckOutHWEnableDisable(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return frame::Guarded(
      0, [&] { return ConnectionCheck(adapters, index, platform::kNcsDisconnected); });
}

int CNetDiag::CheckOutNetConnectStatus(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return nebrin::frame::Guarded(kNeitherAnswers, [&] {
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
  });
}
