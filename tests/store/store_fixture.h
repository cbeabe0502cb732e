// Stored profiles for the store's tests: records to save, and profiles written straight into a
// simulated machine's registry the way the library stores them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/sim/machine.h"
#include "support/sim_fixture.h"

namespace nebrin::testing {

inline const std::string kRoot = "Software\\Corvane\\Nebrin";
inline const std::string kMachineWide = "SOFTWARE\\CORVANE\\Nebrin";
// The demo machine's wired DHCP adapter and wireless static adapter.
inline const std::string kWiredGuid = "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}";
inline const std::string kWirelessGuid = "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";

inline std::string ProfilePath(int n) { return kRoot + "\\" + std::to_string(n); }
inline std::string AdapterPath(int n, int i) { return ProfilePath(n) + "\\" + std::to_string(i); }

// A profile of the demo machine: adapter 0 wired on DHCP, adapter 1 wireless with static
// addresses and no metric yet. No sharing, no printer.
inline Profile OfficeProfile(const std::string& name = "Office") {
  Profile p;
  CCommonFtn().InitStructure(&p.env, p.adapters);
  Put(p.env.ProfileName, name);
  p.env.IconIndex = 3;
  p.env.AdapterCount = 2;
  p.env.bWLANWebKeyUse = 0;
  AdapterInfoStr& wired = p.adapters[0];
  Put(wired.DhcpEnabled, "yes");
  Put(wired.IpAddressList, "192.168.1.34");
  Put(wired.SubnetMask, "255.255.255.0");
  Put(wired.GatewayList, "192.168.1.1");
  Put(wired.PrimaryDnsServer, "192.168.1.1");
  Put(wired.SecondaryDnsServer, "192.168.1.2");
  Put(wired.ConnectionName, "Local Area Connection");
  Put(wired.DeviceDesc, "Intel(R) PRO/100 VE Network Connection");
  Put(wired.MediaSubType, "line");
  Put(wired.AdapterName, kWiredGuid);
  AdapterInfoStr& wireless = p.adapters[1];
  Put(wireless.DhcpEnabled, "no");
  Put(wireless.IpAddressList, "10.0.0.5");
  Put(wireless.SubnetMask, "255.255.255.0");
  Put(wireless.GatewayList, "10.0.0.1");
  Put(wireless.PrimaryWinsServer, "10.0.0.3");
  Put(wireless.PrimaryDnsServer, "10.0.0.1");
  Put(wireless.SecondaryDnsServer, "10.0.0.2");
  Put(wireless.ConnectionName, "Wireless Network Connection");
  Put(wireless.DeviceDesc, "802.11b Wireless PC Card");
  Put(wireless.MediaSubType, "air");
  Put(wireless.AdapterName, kWirelessGuid);
  return p;
}

// Writes a profile key as the library stores it: no sharing, and the given adapters, each as a
// static adapter with every value.
inline void SeedProfile(sim::Machine& m, int n, const std::string& name, int adapters = 0) {
  const std::string key = ProfilePath(n);
  m.SetString(sim::kHkcu, key, "AdapterCount", std::to_string(adapters));
  m.SetString(sim::kHkcu, key, "ProfileName", name);
  m.SetString(sim::kHkcu, key, "IconIndex", std::to_string(n + 10));
  m.SetString(sim::kHkcu, key, "nProfileKey", std::to_string(n));
  m.SetString(sim::kHkcu, key, "bDefaultPrinterFlag", "false");
  m.SetString(sim::kHkcu, key, "strPrinterName", "");
  m.SetString(sim::kHkcu, key, "nICSFlag", "normal");
  for (int i = 0; i < adapters; ++i) {
    const std::string a = AdapterPath(n, i);
    for (const auto& [value, text] : std::vector<std::pair<std::string, std::string>>{
             {"DhcpEnabled", "no"},
             {"IpAddressList", "10.0.0.5"},
             {"GatewayList", "10.0.0.1"},
             {"PrimaryWinsServer", ""},
             {"SecondaryWinsServer", ""},
             {"PrimaryDnsServer", "10.0.0.1"},
             {"SecondaryDnsServer", ""},
             {"ConnectionName", "Wireless Network Connection"},
             {"DeviceDesc", "Card"},
             {"MediaSubType", "air"},
             {"SubnetMask", "255.255.255.0"},
             {"AdapterName", kWirelessGuid},
             {"Metric", "20"}}) {
      m.SetString(sim::kHkcu, a, value, text);
    }
  }
}

// A store root with "ProfileCount" and the given profiles (each with `adapters` adapter keys).
inline void SeedStore(sim::Machine& m, const std::string& profileCount,
                      const std::vector<int>& numbers, int adapters = 0) {
  m.SetString(sim::kHkcu, kRoot, "ProfileCount", profileCount);
  for (int n : numbers) SeedProfile(m, n, "Profile " + std::to_string(n), adapters);
}

// The bytes a REG_SZ value holds for ASCII `text`: UTF-16LE and one terminating NUL.
inline std::vector<std::uint8_t> StoredBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (char c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// Everything under a registry key, one line per key and per value (path, value name, type and
// bytes in hex), keys in enumeration order: two listings are equal exactly when the subtrees are.
inline std::vector<std::string> Subtree(const sim::Machine& m, platform::KeyHandle root,
                                        const std::string& path) {
  std::vector<std::string> lines;
  if (!m.KeyExists(root, path)) return lines;
  lines.push_back(path);
  for (const std::string& name : m.ValueNames(root, path)) {
    const std::optional<sim::RegValue> value = m.GetValue(root, path, name);
    std::string line =
        path + " | " + name + " | " + std::to_string(static_cast<int>(value->type)) + " |";
    static const char kHex[] = "0123456789abcdef";
    for (std::uint8_t b : value->bytes) {
      line += ' ';
      line += kHex[b >> 4];
      line += kHex[b & 0x0F];
    }
    lines.push_back(line);
  }
  for (const std::string& subkey : m.SubkeyNames(root, path)) {
    for (std::string& line : Subtree(m, root, path + "\\" + subkey))
      lines.push_back(std::move(line));
  }
  return lines;
}

class StoreTest : public SimTest {
 protected:
  std::string Value(const std::string& key, const std::string& name) {
    return machine().GetString(sim::kHkcu, key, name).value_or("<missing>");
  }
  std::vector<std::string> Subkeys(const std::string& key) {
    return machine().SubkeyNames(sim::kHkcu, key);
  }
  CNetInfoManage manage;
  CNetInfoRetrieve retrieve;
};

}  // namespace nebrin::testing
