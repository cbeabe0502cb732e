#include "host/profile_file_fixture.h"

#include <sstream>

#include "nebrin/platform_install.h"
#include "profile_file.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {
namespace {

const std::string kDemoWired = "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}";
const std::string kDemoWireless = "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";

Profile Captured(const std::string& name) {
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  CNetInfoRetrieve().IPRetrieve(&p.env, p.adapters);
  Put(p.env.ProfileName, name);
  return p;
}

void Store(Profile& p) {
  if (CNetInfoManage().SaveProfileInfoToRegistry(&p.env, p.adapters, 1) != 1) {
    throw std::runtime_error("the fixture profile could not be stored");
  }
}

}  // namespace

std::shared_ptr<sim::Machine> MachineWithProfiles() {
  auto m = sim::Machine::Demo();
  InstallPlatform(m);
  Profile office = Captured("Office");
  office.env.IconIndex = 2;
  office.env.bDefaultPrinterFlag = 1;
  Put(office.env.strPrinterName, "Office Laser 4050");
  Store(office);

  Profile host = Captured("Cafe host");
  host.env.IconIndex = 5;
  host.env.nICSFlag = 1;
  Put(host.env.strPublicDevGUID, kDemoWired);
  Put(host.env.strPrivateDevGUID, kDemoWireless);
  host.env.bICFFlag = 1;
  host.env.bPrivateWlan = 1;
  host.env.bWLANWebKeyUse = 1;
  Put(host.env.strWLANConnectionName, "cafe-net");
  Put(host.env.strWLANPassWord, "s3cret-key");
  Store(host);

  Profile client = Captured("Client");
  client.env.nICSFlag = 2;
  client.env.AdapterCount = 1;
  client.adapters[0] = client.adapters[1];  // the wireless adapter only
  Put(client.env.strPrivateDevGUID, kDemoWireless);
  Store(client);

  CNetInfoManage().SetLastProfileNo(0);
  InstallPlatform(nullptr);
  return m;
}

std::shared_ptr<sim::Machine> OtherMachine(const std::string& wiredName,
                                           const std::string& wirelessName) {
  auto m = std::make_shared<sim::Machine>();
  m->CreateKeyPath(sim::kHkcu, "Software");
  sim::AdapterSpec wired;
  wired.listed = {kOtherWiredGuid, "Gigabit Ethernet", 2, 6, "", ""};
  wired.connectionName = wiredName;
  wired.pnpInstanceId = "PCI\\VEN_10EC&DEV_8168\\4&0&00E0";
  wired.service = "RTL8168";
  wired.deviceDesc = "Gigabit Ethernet";
  wired.mediaSubType = 1;
  wired.dhcp = true;
  wired.lease = sim::AdapterSpec::Lease{"172.16.0.20", "255.255.0.0", "172.16.0.1", "172.16.0.1",
                                        "172.16.0.1"};
  m->AddAdapter(wired);
  sim::AdapterSpec wireless;
  wireless.listed = {kOtherWirelessGuid, "Mini PCI Wireless", 3, 71, "", ""};
  wireless.connectionName = wirelessName;
  wireless.pnpInstanceId = "PCI\\VEN_8086&DEV_4220\\4&0&10F0";
  wireless.service = "W70N51";
  wireless.deviceDesc = "Mini PCI Wireless";
  wireless.mediaSubType = 2;
  wireless.dhcp = false;
  wireless.ipAddresses = {"192.168.50.7"};
  wireless.subnetMasks = {"255.255.255.0"};
  wireless.metric = 30;
  m->AddAdapter(wireless);
  return m;
}

std::vector<host::HostProfile> LoadAll() {
  std::vector<host::HostProfile> profiles;
  for (const NameIndex& e : host::ListProfiles()) {
    profiles.emplace_back();
    if (!host::LoadProfile(e.nProfileKey, profiles.back())) {
      throw std::runtime_error("profile " + std::to_string(e.nProfileKey) + " does not load");
    }
  }
  return profiles;
}

std::string ExportAll(bool withSecrets) {
  return host::ProfileFileJson(LoadAll(), withSecrets).dump(2);
}

std::string FirstDifference(const std::string& before, const std::string& after) {
  std::istringstream a(before), b(after);
  std::string lineA, lineB;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return "";
    if (moreA != moreB || lineA != lineB) {
      return "line " + std::to_string(line) + ": " + (moreA ? lineA : "(end)") + " became " +
             (moreB ? lineB : "(end)");
    }
  }
}

host::ImportReport Import(const std::string& text, const host::ImportOptions& options) {
  return host::ImportProfiles(host::ReadProfileFile(text), options);
}

}  // namespace nebrin::testing
