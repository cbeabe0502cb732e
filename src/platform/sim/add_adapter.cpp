// Adding an adapter writes everything Windows keeps about it, so that the list, the TCP/IP
// interface key, the connection key and the Enum key agree.
#include <algorithm>

#include "platform/sim/machine.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

std::string TcpipInterfaceKey(std::string_view guid) {
  return "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + std::string(guid);
}

std::string ConnectionKey(std::string_view guid) {
  return "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
         std::string(guid) + "\\Connection";
}

std::string EnumKey(std::string_view pnpInstanceId) {
  return "SYSTEM\\CurrentControlSet\\Enum\\" + std::string(pnpInstanceId);
}

namespace {

// An address list as Windows keeps it: "0.0.0.0" stands for no address.
std::vector<std::string> OrNoAddress(const std::vector<std::string>& list) {
  return list.empty() ? std::vector<std::string>{"0.0.0.0"} : list;
}

}  // namespace

void Machine::AddAdapter(const AdapterSpec& spec) {
  const std::string tcpip = TcpipInterfaceKey(spec.listed.guid);
  SetDword(kHklm, tcpip, "EnableDHCP", spec.dhcp ? 1 : 0);
  if (spec.dhcp) {
    // A DHCP adapter keeps empty static settings beside its lease.
    SetValue(kHklm, tcpip, "IPAddress", RegValue::MultiString({"0.0.0.0"}));
    SetValue(kHklm, tcpip, "SubnetMask", RegValue::MultiString({"0.0.0.0"}));
    SetString(kHklm, tcpip, "NameServer", "");
  } else {
    SetValue(kHklm, tcpip, "IPAddress", RegValue::MultiString(OrNoAddress(spec.ipAddresses)));
    SetValue(kHklm, tcpip, "SubnetMask", RegValue::MultiString(OrNoAddress(spec.subnetMasks)));
    SetValue(kHklm, tcpip, "DefaultGateway", RegValue::MultiString(spec.gateways));
    SetString(kHklm, tcpip, "NameServer", spec.nameServers);
  }
  if (spec.metric) SetDword(kHklm, tcpip, "InterfaceMetric", *spec.metric);
  if (spec.dhcp) {
    if (spec.lease) {
      SetString(kHklm, tcpip, "DhcpIPAddress", spec.lease->address);
      SetString(kHklm, tcpip, "DhcpSubnetMask", spec.lease->mask);
      std::vector<std::string> gateways;
      if (!spec.lease->gateway.empty()) gateways.push_back(spec.lease->gateway);
      SetValue(kHklm, tcpip, "DhcpDefaultGateway", RegValue::MultiString(gateways));
      SetString(kHklm, tcpip, "DhcpNameServer", spec.lease->nameServers);
      SetString(kHklm, tcpip, "DhcpServer", spec.lease->server);
    } else {
      SetString(kHklm, tcpip, "DhcpIPAddress", "0.0.0.0");
      SetString(kHklm, tcpip, "DhcpSubnetMask", "0.0.0.0");
    }
  }

  const std::string connection = ConnectionKey(spec.listed.guid);
  SetString(kHklm, connection, "Name", spec.connectionName);
  SetString(kHklm, connection, "PnpInstanceID", spec.pnpInstanceId);
  if (spec.mediaSubType) SetDword(kHklm, connection, "MediaSubType", *spec.mediaSubType);

  if (!spec.pnpInstanceId.empty()) {
    const std::string device = EnumKey(spec.pnpInstanceId);
    SetString(kHklm, device, "Service", spec.service);
    SetString(kHklm, device, "DeviceDesc", spec.deviceDesc);
  }

  // Adding an adapter again replaces its list entry in place.
  auto& list = listed_adapters();
  auto same = std::find_if(list.begin(), list.end(), [&](const ListedAdapter& a) {
    return SameName(Utf8ToUtf16(a.guid), Utf8ToUtf16(spec.listed.guid));
  });
  if (same != list.end()) {
    *same = spec.listed;
  } else {
    list.push_back(spec.listed);
  }
}

}  // namespace nebrin::sim
