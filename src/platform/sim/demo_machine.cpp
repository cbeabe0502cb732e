// The demo machine: a laptop of the NT 5.1 generation with a wired adapter on DHCP, a wireless
// card with static addresses, a root-enumerated virtual adapter and a Bluetooth network adapter;
// a router that answers, a sharing host near the wireless card, three printers; the wireless
// configuration service running, the companion protocol driver installed but stopped (with its
// setup file beside the product and a copy in the store), and the product's ad hoc tool.
#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

AdapterSpec WiredDhcp() {
  AdapterSpec spec;
  spec.listed = {"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}",
                 "Intel(R) PRO/100 VE Network Connection",
                 2,
                 6,
                 "",
                 ""};
  spec.connectionName = "Local Area Connection";
  spec.pnpInstanceId = "PCI\\VEN_8086&DEV_1050&SUBSYS_30088086&REV_02\\4&1F7DBC9F&0&40F0";
  spec.service = "E100B";
  spec.deviceDesc = "Intel(R) PRO/100 VE Network Connection";
  spec.mediaSubType = 1;
  spec.dhcp = true;
  spec.lease = AdapterSpec::Lease{"192.168.1.34", "255.255.255.0", "192.168.1.1",
                                  "192.168.1.1 192.168.1.2", "192.168.1.1"};
  return spec;
}

AdapterSpec WirelessStatic() {
  AdapterSpec spec;
  spec.listed = {"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}",
                 "Orinoco-class 802.11b PC Card",
                 3,
                 71,
                 "10.0.0.3",
                 ""};
  spec.connectionName = "Wireless Network Connection";
  spec.pnpInstanceId = "PCMCIA\\WLAN-PCCARD-7A3F\\1";
  spec.service = "WLPC";
  spec.deviceDesc = "802.11b Wireless PC Card";
  spec.mediaSubType = 2;
  spec.dhcp = false;
  spec.ipAddresses = {"10.0.0.5"};
  spec.subnetMasks = {"255.255.255.0"};
  spec.gateways = {"10.0.0.1"};
  spec.nameServers = "10.0.0.1,10.0.0.2";
  spec.metric = 20;
  return spec;
}

AdapterSpec RootVirtual() {
  AdapterSpec spec;
  spec.listed = {"{0F3E5D7C-9B1A-4C2E-8D40-6A7B8C9D0E1F}", "Virtual Network Adapter", 4, 6, "", ""};
  spec.connectionName = "Local Area Connection 2";
  spec.pnpInstanceId = "ROOT\\NET\\0000";
  spec.service = "VNETA";
  spec.deviceDesc = "Virtual Network Adapter";
  spec.mediaSubType = 1;
  spec.dhcp = true;
  return spec;
}

AdapterSpec BluetoothPan() {
  AdapterSpec spec;
  spec.listed = {
      "{5B7D9F1E-3A2C-4B6D-9E8F-1A2B3C4D5E6F}", "Bluetooth PAN Network Adapter", 5, 6, "", ""};
  spec.connectionName = "Bluetooth Network";
  spec.pnpInstanceId = "BTH\\MS_BTHPAN\\7&2A3B4C5D&0&2";
  spec.service = "BTWDNDIS";
  spec.deviceDesc = "Bluetooth PAN Network Adapter";
  spec.mediaSubType = 1;
  spec.dhcp = true;
  return spec;
}

// The companion driver's setup information file, as the product ships it.
constexpr const char* kDriverSetupFile =
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Class=NetTrans\r\n"
    "ClassGUID={4d36e975-e325-11ce-bfc1-08002be10318}\r\n"
    "Provider=%Corvane%\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%Corvane%=Corvane\r\n"
    "\r\n"
    "[Corvane]\r\n"
    "%ORLPD_Desc%=Install, K_ORLPD\r\n"
    "\r\n"
    "[Install.Services]\r\n"
    "AddService=ORLPD,,ORLPD_Service\r\n"
    "\r\n"
    "[ORLPD_Service]\r\n"
    "ServiceType=1\r\n"
    "StartType=3\r\n"
    "ServiceBinary=%12%\\ORLPD.sys\r\n"
    "\r\n"
    "[Strings]\r\n"
    "Corvane=\"Corvane\"\r\n"
    "ORLPD_Desc=\"ORLPD NDIS Protocol Driver\"\r\n";

}  // namespace

std::shared_ptr<Machine> Machine::Demo() {
  auto machine = std::make_shared<Machine>();
  SystemState& system = machine->system_state();
  system.version = platform::OsVersion{5, 1, 2600, 2, u"Service Pack 2"};
  system.tabletPc = false;
  system.ansiCodePage = 1252;
  system.oemCodePage = 437;
  system.administrator = true;

  const char* currentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  machine->SetString(kHklm, currentVersion, "CurrentVersion", "5.1");
  machine->SetString(kHklm, currentVersion, "CurrentBuildNumber", "2600");
  machine->SetString(kHklm, currentVersion, "CSDVersion", "Service Pack 2");
  machine->CreateKeyPath(kHkcu, "Software");

  for (const AdapterSpec& spec : {WiredDhcp(), WirelessStatic(), RootVirtual(), BluetoothPan()}) {
    machine->AddAdapter(spec);
  }

  // The wired network's router answers; the wireless card is out of range of its access point.
  machine->network_connections() = {
      {"Local Area Connection", WiredDhcp().listed.guid, 2,
       "Intel(R) PRO/100 VE Network Connection"},
      {"Wireless Network Connection", WirelessStatic().listed.guid, 7,
       "802.11b Wireless PC Card"},
  };
  NetworkState& network = machine->network();
  network.hosts = {
      {"192.168.1.1", {"router.home"}, "+"},
      {"192.168.1.2", {"nas.home"}, "+"},
      {"10.0.0.1", {"ap.office"}, "-"},
  };
  network.urls = {
      {"http://www.example.com/", true},
      {"http://intranet.office/", false},
  };
  machine->printers().installed = {"Office Laser 4050", "Photo Inkjet 4200",
                                   "Document Image Writer"};
  machine->printers().defaultPrinter = "Office Laser 4050";
  // The router's DHCP server keeps giving the wired adapter its lease. The wireless card, out of
  // range of the office access point, is near a machine that shares its connection: put on DHCP,
  // it takes an address from that sharing host.
  const AdapterSpec::Lease router = *WiredDhcp().lease;
  machine->process_state().leases[WiredDhcp().listed.guid] =
      SimLease{router.address, router.mask, router.gateway, router.nameServers, router.server};

  // Services: starting and stopping the wireless configuration service takes a moment; the
  // driver starts at once. The product's wireless service is not installed.
  const char* svchost = "%SystemRoot%\\System32\\svchost.exe -k netsvcs";
  auto service = [](const char* name, const char* display, std::uint32_t type,
                    std::uint32_t startType, const char* path, std::uint32_t state,
                    std::uint32_t startMs, std::uint32_t stopMs) {
    SimService s;
    s.name = name;
    s.displayName = display;
    s.type = type;
    s.startType = startType;
    s.binaryPath = path;
    s.state = state;
    s.startMs = startMs;
    s.stopMs = stopMs;
    return s;
  };
  machine->service_table().services = {
      service("Dhcp", "DHCP Client", 0x20, 2, svchost, 4, 500, 500),
      service("ORLPD", "ORLPD NDIS Protocol Driver", 0x01, 3, "system32\\DRIVERS\\ORLPD.sys", 1, 0,
              0),
      service("Spooler", "Print Spooler", 0x10, 2, "%SystemRoot%\\system32\\spoolsv.exe", 4, 800,
              500),
      service("WZCSVC", "Wireless Zero Configuration", 0x20, 2, svchost, 4, 2000, 1000),
  };
  // The driver was installed from its setup file beside the product: the store holds the copy and
  // the network configuration the component.
  const std::string driverSource = "C:\\Program Files\\corvane\\Nebrin\\Driver\\ORLPD.inf";
  machine->file_state().files[driverSource] = kDriverSetupFile;
  machine->file_state().files["C:\\WINDOWS\\inf\\oem0.inf"] = kDriverSetupFile;
  machine->network_configuration().setupFiles = {{"oem0.inf", driverSource}};
  machine->network_configuration().components = {{"K_ORLPD"}};
  // The product's ad hoc tool in its folder under Program Files; a run takes three seconds.
  machine->process_state().programs.push_back(
      {"C:\\Program Files\\corvane\\Nebrin\\Tamsel.exe", ProgramKind::AdHocTool, 3000});
  return machine;
}

}  // namespace nebrin::sim
