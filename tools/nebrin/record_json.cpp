#include "record_json.h"

#include "host_text.h"

namespace nebrin::host {

nlohmann::json AdapterJson(const AdapterInfoStr& a) {
  return {
      {"AdapterName", FieldUtf8(a.AdapterName)},
      {"ConnectionName", FieldUtf8(a.ConnectionName)},
      {"DeviceDesc", FieldUtf8(a.DeviceDesc)},
      {"MediaSubType", FieldUtf8(a.MediaSubType)},
      {"DhcpEnabled", FieldUtf8(a.DhcpEnabled)},
      {"IpAddressList", FieldUtf8(a.IpAddressList)},
      {"SubnetMask", FieldUtf8(a.SubnetMask)},
      {"GatewayList", FieldUtf8(a.GatewayList)},
      {"PrimaryDnsServer", FieldUtf8(a.PrimaryDnsServer)},
      {"SecondaryDnsServer", FieldUtf8(a.SecondaryDnsServer)},
      {"PrimaryWinsServer", FieldUtf8(a.PrimaryWinsServer)},
      {"SecondaryWinsServer", FieldUtf8(a.SecondaryWinsServer)},
      {"Metric", FieldUtf8(a.Metric)},
  };
}

}  // namespace nebrin::host
