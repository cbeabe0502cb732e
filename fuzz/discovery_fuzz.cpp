// Fuzz target: discovery and matching. The fuzzer's bytes change what the demo machine (its four
// adapters, three stored profiles) reports about its adapters: entries of the adapter list, the
// TCP/IP interface, connection and Enum keys, and the ANSI code page their texts are converted
// with. Then the members that read them run: discovery, the wireless count, the stored profiles'
// loading with the lease refresh, adapter matching and change status, the change classification,
// and the sharing members that compare the live adapters with a profile (on the stored profile
// the first byte chooses).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "fuzz_support.h"
#include "platform/registry_key.h"
#include "platform/sim/sim_text.h"

namespace nebrin::fuzz {
namespace {

using platform::RegType;

const std::array<std::string, 4> kGuids = {
    "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}", "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}",
    "{0F3E5D7C-9B1A-4C2E-8D40-6A7B8C9D0E1F}", "{5B7D9F1E-3A2C-4B6D-9E8F-1A2B3C4D5E6F}"};
const std::array<std::string, 4> kPnpIds = {
    "PCI\\VEN_8086&DEV_1050&SUBSYS_30088086&REV_02\\4&1F7DBC9F&0&40F0",
    "PCMCIA\\WLAN-PCCARD-7A3F\\1", "ROOT\\NET\\0000", "BTH\\MS_BTHPAN\\7&2A3B4C5D&0&2"};

constexpr std::array<const char*, 16> kValueNames = {
    "IPAddress",       "SubnetMask",         "DefaultGateway", "NameServer", "DhcpIPAddress",
    "DhcpSubnetMask",  "DhcpDefaultGateway", "DhcpNameServer", "DhcpServer", "EnableDHCP",
    "InterfaceMetric", "MediaSubType",       "PnpInstanceID",  "Name",       "Service",
    "DeviceDesc"};

constexpr std::array<const char*, 16> kTexts = {"0.0.0.0",
                                                "192.168.1.77",
                                                "255.255.255.0",
                                                "10.0.0.1,10.0.0.2",
                                                "10.0.0.1 10.0.0.2 10.0.0.3",
                                                " ",
                                                ",",
                                                "",
                                                "ROOT\\NET\\0001",
                                                "BTWDNDIS",
                                                "root\\net\\0002",
                                                "Local Area Connection",
                                                "1.2.3.4,",
                                                "999.1.1.1",
                                                "Wireless Network Connection 2",
                                                "PCI\\VEN_FUZZ\\1"};

constexpr std::array<std::uint32_t, 11> kCodePages = {1252, 932,  936, 949, 950,  1250,
                                                      1251, 1253, 874, 437, 65001};

std::string PickGuid(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kGuids.size() ? kGuids[choice] : in.Text(120);
}

std::string PickPnp(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kPnpIds.size() ? kPnpIds[choice] : in.Text(120);
}

// One of an adapter's three keys under HKEY_LOCAL_MACHINE.
std::string PickAdapterKey(Input& in) {
  switch (in.Choice(3)) {
    case 0:
      return sim::TcpipInterfaceKey(PickGuid(in));
    case 1:
      return sim::ConnectionKey(PickGuid(in));
    default:
      return sim::EnumKey(PickPnp(in));
  }
}

std::string PickValueName(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kValueNames.size() ? kValueNames[choice] : in.Text(60);
}

std::string PickText(Input& in) {
  const std::size_t choice = in.Byte();
  return choice < kTexts.size() ? kTexts[choice] : in.Text(200);
}

sim::RegValue PickValue(Input& in) {
  switch (in.Choice(6)) {
    case 0:
      return sim::RegValue::String(PickText(in));
    case 1:
      return sim::RegValue::MultiString({PickText(in), PickText(in)});
    case 2:
      return sim::RegValue::MultiString({PickText(in)});
    case 3:
      return sim::RegValue::Dword(in.Choice(4) == 0 ? in.U32() : in.Choice(4));
    default: {
      sim::RegValue value;
      value.type = static_cast<RegType>(in.Choice(8));
      value.bytes = in.Bytes(600);
      return value;
    }
  }
}

sim::ListedAdapter PickListed(Input& in) {
  sim::ListedAdapter listed;
  listed.guid = PickGuid(in);
  listed.description = in.Text(160);
  listed.index = in.Byte();
  listed.type = in.Choice(2) == 0 ? 6 : 71;
  listed.primaryWins = PickText(in);
  listed.secondaryWins = PickText(in);
  return listed;
}

// A whole adapter with consistent keys, so that the machine can have more than ten that qualify.
sim::AdapterSpec PickSpec(Input& in) {
  sim::AdapterSpec spec;
  spec.listed = PickListed(in);
  spec.connectionName = PickText(in);
  spec.pnpInstanceId = PickPnp(in);
  spec.service = PickText(in);
  spec.deviceDesc = in.Text(160);
  spec.mediaSubType = static_cast<std::uint32_t>(in.Choice(4));
  spec.dhcp = in.Choice(2) == 0;
  spec.ipAddresses = {PickText(in)};
  spec.subnetMasks = {PickText(in)};
  spec.gateways = {PickText(in)};
  spec.nameServers = PickText(in);
  spec.metric = in.Byte();
  if (in.Choice(2) == 0)
    spec.lease =
        sim::AdapterSpec::Lease{PickText(in), PickText(in), PickText(in), PickText(in), ""};
  return spec;
}

void ChangeAdapters(Input& in, sim::Machine& machine) {
  auto& listed = machine.listed_adapters();
  for (int op = 0; op < 48 && !in.empty(); ++op) {
    switch (in.Choice(8)) {
      case 0:
        if (listed.size() < 16) listed.push_back(PickListed(in));
        break;
      case 1:
        if (!listed.empty())
          listed.erase(listed.begin() + static_cast<long>(in.Choice(listed.size())));
        break;
      case 2:
        if (!listed.empty()) listed[in.Choice(listed.size())] = PickListed(in);
        break;
      case 3: {
        const std::string key = PickAdapterKey(in);
        machine.SetValue(sim::kHklm, key, PickValueName(in), PickValue(in));
        break;
      }
      case 4: {
        const std::string key = PickAdapterKey(in);
        machine.RemoveValue(sim::kHklm, key, PickValueName(in));
        break;
      }
      case 5:
        machine.RemoveKeyTree(sim::kHklm, PickAdapterKey(in));
        break;
      case 6: {
        const std::size_t choice = in.Byte();
        machine.system_state().ansiCodePage =
            choice < kCodePages.size() ? kCodePages[choice] : in.U16();
        break;
      }
      default:
        if (listed.size() < 16) machine.AddAdapter(PickSpec(in));
        break;
    }
  }
  machine.ResetCounts();
}

void CheckCaptured(const HeapProfile& p, int result) {
  RequireResult(result, {0, 1}, "IPRetrieve");
  Require(p.env->AdapterCount >= 0 && p.env->AdapterCount <= NEBRIN_ADAPTER_RECORDS,
          "discovery fills at most ten entries");
  // A failed capture may leave the entry it was filling incomplete, but never unterminated.
  Require(AllTextsTerminated(p), "captured texts are terminated");
}

// Adapter matching and change status on a stored profile, in each sharing role.
void Match(sim::Machine& machine, const HeapProfile& stored) {
  CNetInfoManage manage;
  for (int role : {0, 1, 2}) {
    HeapProfile p = stored;
    MakeSharing(*p.env, p.adapters.get(), role);
    RequireResult(manage.FindSavedDevice(p.env.get(), p.adapters.get()), {0, 1}, "FindSavedDevice");
    RequireNothingOpen(machine, "FindSavedDevice");
  }
  HeapProfile p = stored;
  for (int i : {-1, 0, 1, p.env->AdapterCount}) {
    RequireResult(manage.CheckAdapterExist(p.env.get(), p.adapters.get(), i), {0, 1},
                  "CheckAdapterExist");
    RequireNothingOpen(machine, "CheckAdapterExist");
  }
  Require(AllTextsTerminated(p), "matched texts are terminated");
  p = stored;
  RequireResult(manage.GetChangeStatus(p.env.get(), p.adapters.get()), {0, 1}, "GetChangeStatus");
  RequireNothingOpen(machine, "GetChangeStatus");
}

// The sharing members that compare the live adapters with a profile.
void Verify(sim::Machine& machine, const HeapProfile& stored) {
  CNetInfoManage manage;
  HeapProfile host = stored;
  MakeSharing(*host.env, host.adapters.get(), 1);
  RequireResult(manage.CheckServerIPChange(host.env.get(), host.adapters.get()), {0, 1},
                "CheckServerIPChange");
  RequireNothingOpen(machine, "CheckServerIPChange");
  Require(AllTextsTerminated(host), "verified texts are terminated");
  RequireResult(manage.CheckServerIPChangeResult(host.env.get(), host.adapters.get()), {0, 1},
                "CheckServerIPChangeResult");
  RequireNothingOpen(machine, "CheckServerIPChangeResult");
  HeapProfile client = stored;
  MakeSharing(*client.env, client.adapters.get(), 2);
  RequireResult(manage.CheckClientIPChange(client.env.get(), client.adapters.get()), {0, 1},
                "CheckClientIPChange");
  RequireNothingOpen(machine, "CheckClientIPChange");
}

void Run(Input& in) {
  auto machine = StoredDemo();
  Installed installed(machine);
  const int matched = static_cast<int>(in.Choice(3));  // the stored profile matched and verified
  ChangeAdapters(in, *machine);
  CNetInfoRetrieve retrieve;
  CNetInfoManage manage;

  HeapProfile captured;
  Empty(captured);
  const int result = retrieve.IPRetrieve(captured.env.get(), captured.adapters.get());
  RequireNothingOpen(*machine, "IPRetrieve");
  CheckCaptured(captured, result);
  const int wireless = retrieve.GetWLANDeviceCount(captured.env.get(), captured.adapters.get());
  Require(wireless >= 0 && wireless <= captured.env->AdapterCount,
          "GetWLANDeviceCount counts among the entries");

  // The stored profiles, loaded with their DHCP adapters refreshed from the fuzzed leases.
  for (int n : {0, 1, 2}) {
    HeapProfile stored;
    Empty(stored);
    RequireResult(retrieve.GetInfoFromRegistry(n, stored.env.get(), stored.adapters.get()), {0, 1},
                  "GetInfoFromRegistry");
    RequireNothingOpen(*machine, "GetInfoFromRegistry");
    Require(AllTextsTerminated(stored), "loaded texts are terminated");
    for (int i = 0; i < stored.env->AdapterCount; ++i) {
      RequireResult(manage.GetDHCPIP(i, n, stored.adapters.get()), {0, 1}, "GetDHCPIP");
      RequireNothingOpen(*machine, "GetDHCPIP");
    }
    Require(AllTextsTerminated(stored), "refreshed texts are terminated");
    const int change = retrieve.CheckInfoChangeStatus(stored.env.get(), stored.adapters.get(),
                                                      captured.env.get(), captured.adapters.get());
    RequireResult(change, {70, 71, 72, 73, 74, 75}, "CheckInfoChangeStatus");
    if (n != matched) continue;
    Match(*machine, stored);
    Verify(*machine, stored);
  }

  // What was captured, stored and matched against the machine it came from.
  HeapProfile p = captured;
  Put(p.env->ProfileName, "Captured");
  const int saved = manage.SaveProfileInfoToRegistry(p.env.get(), p.adapters.get(), 1);
  RequireResult(saved, {0, 1}, "SaveProfileInfoToRegistry");
  RequireNothingOpen(*machine, "SaveProfileInfoToRegistry");
  if (saved == 1) Match(*machine, p);
}

}  // namespace
}  // namespace nebrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nebrin::fuzz::Input in(data, size);
  nebrin::fuzz::Run(in);
  return 0;
}
