#include "profile_view.h"

#include <string>

#include "record_json.h"
#include "table.h"

namespace nebrin::host {
namespace {

std::string Or(const std::string& text) { return text.empty() ? "-" : text; }

std::string Pair(const std::string& first, const std::string& second) {
  return second.empty() ? Or(first) : Or(first) + ", " + second;
}

std::string Sharing(const EnvInfoStr& env) {
  if (env.nICSFlag == 1) {
    return "sharing host: public " + ShownField(env.strPublicDevGUID) + ", private " +
           ShownField(env.strPrivateDevGUID) + ", firewall " + (env.bICFFlag != 0 ? "on" : "off");
  }
  if (env.nICSFlag == 2) return "sharing client: private " + ShownField(env.strPrivateDevGUID);
  return "none";
}

}  // namespace

void PrintProfile(std::ostream& out, const HostProfile& profile) {
  const EnvInfoStr& env = profile.env;
  out << "Profile " << env.nProfileKey << ": " << ShownField(env.ProfileName) << "\n"
      << "Icon      " << env.IconIndex << "\n"
      << "Printer   "
      << (env.bDefaultPrinterFlag == 1 ? ShownField(env.strPrinterName) + " (made the default)"
                                       : "-")
      << "\n"
      << "Sharing   " << Sharing(env) << "\n";
  if (env.nICSFlag != 0 && env.bPrivateWlan != 0) {
    out << "Wireless  " << ShownField(env.strWLANConnectionName)
        << (env.bWLANWebKeyUse == 1 ? " (WEP key in use)" : " (no key)") << "\n";
  }
  out << "\n";
  Table table({"#", "Connection", "Mode", "Address", "Mask", "Gateway", "DNS", "WINS", "Metric"});
  for (int i = 0; i < env.AdapterCount; ++i) {
    const AdapterInfoStr& a = profile.adapters[i];
    const bool dhcp = ShownField(a.DhcpEnabled) != "no";
    table.AddRow({std::to_string(i), ShownField(a.ConnectionName), dhcp ? "DHCP" : "static",
                  Or(ShownField(a.IpAddressList)), Or(ShownField(a.SubnetMask)),
                  Or(ShownField(a.GatewayList)),
                  Pair(ShownField(a.PrimaryDnsServer), ShownField(a.SecondaryDnsServer)),
                  Pair(ShownField(a.PrimaryWinsServer), ShownField(a.SecondaryWinsServer)),
                  dhcp ? "-" : Or(ShownField(a.Metric))});
  }
  table.Print(out);
}

nlohmann::json ProfileJson(const HostProfile& profile) {
  const EnvInfoStr& e = profile.env;
  nlohmann::json out = {
      {"nProfileKey", e.nProfileKey},
      {"ProfileName", FieldUtf8(e.ProfileName)},
      {"IconIndex", e.IconIndex},
      {"bDefaultPrinterFlag", e.bDefaultPrinterFlag},
      {"strPrinterName", FieldUtf8(e.strPrinterName)},
      {"nICSFlag", e.nICSFlag},
      {"bICFFlag", e.bICFFlag},
      {"bPrivateWlan", e.bPrivateWlan},
      {"bWLANWebKeyUse", e.bWLANWebKeyUse},
      {"strPublicDevGUID", FieldUtf8(e.strPublicDevGUID)},
      {"strPrivateDevGUID", FieldUtf8(e.strPrivateDevGUID)},
      {"strWLANConnectionName", FieldUtf8(e.strWLANConnectionName)},
      {"strWLANPassWord", FieldUtf8(e.strWLANPassWord)},
      {"AdapterCount", e.AdapterCount},
      {"adapters", nlohmann::json::array()},
  };
  for (int i = 0; i < e.AdapterCount; ++i)
    out["adapters"].push_back(AdapterJson(profile.adapters[i]));
  return out;
}

}  // namespace nebrin::host
