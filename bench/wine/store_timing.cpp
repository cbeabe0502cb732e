// The profile store against a real registry (Wine's, or Windows'): stores a number of profiles
// through the library, then times each catalogue operation, a load, a new-profile save and a
// deletion, and counts the registry calls each makes. It refuses to run where a store already
// exists and removes the store it made when it ends.
//
//   store_timing.exe [PROFILES [REPEATS]]      (default 1000 profiles, 20 calls per operation)
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/platform.h"

namespace {

using nebrin::platform::Access;
using nebrin::platform::KeyHandle;
using nebrin::platform::RegType;
using nebrin::platform::Status;

// The system's registry with every call counted (closing a key is not counted: the simulated
// machine's counts leave it out too).
class CountingRegistry final : public nebrin::platform::Registry {
 public:
  explicit CountingRegistry(Registry& inner) : inner_(inner) {}
  std::uint64_t calls = 0;

  Status OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                 KeyHandle& key) override {
    ++calls;
    return inner_.OpenKey(parent, path, access, key);
  }
  Status CreateKey(KeyHandle parent, const std::u16string& path, Access access, KeyHandle& key,
                   bool& created) override {
    ++calls;
    return inner_.CreateKey(parent, path, access, key, created);
  }
  void CloseKey(KeyHandle key) override { inner_.CloseKey(key); }
  Status QueryValue(KeyHandle key, const std::u16string& name, RegType& type, void* data,
                    std::uint32_t& size) override {
    ++calls;
    return inner_.QueryValue(key, name, type, data, size);
  }
  Status SetValue(KeyHandle key, const std::u16string& name, RegType type, const void* data,
                  std::uint32_t size) override {
    ++calls;
    return inner_.SetValue(key, name, type, data, size);
  }
  Status DeleteValue(KeyHandle key, const std::u16string& name) override {
    ++calls;
    return inner_.DeleteValue(key, name);
  }
  Status DeleteKey(KeyHandle parent, const std::u16string& subkey) override {
    ++calls;
    return inner_.DeleteKey(parent, subkey);
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) override {
    ++calls;
    return inner_.EnumKey(key, index, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) override {
    ++calls;
    return inner_.EnumValue(key, index, name);
  }

 private:
  Registry& inner_;
};

class CountingPlatform final : public nebrin::platform::ForwardingPlatform {
 public:
  explicit CountingPlatform(std::shared_ptr<Platform> inner)
      : ForwardingPlatform(*inner), inner_(std::move(inner)), registry_(inner_->registry()) {}
  nebrin::platform::Registry& registry() override { return registry_; }
  std::uint64_t calls() const { return registry_.calls; }

 private:
  std::shared_ptr<Platform> inner_;
  CountingRegistry registry_;
};

void Put(NebrinChar* field, const char* text) {
  std::size_t i = 0;
  for (; text[i] != 0; ++i) field[i] = static_cast<NebrinChar>(text[i]);
  field[i] = 0;
}

struct Records {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
};

// A profile of two adapters, one on DHCP and one static, as a capture gives it. The adapters are
// not this machine's, so loading the DHCP one asks the adapter list and finds no lease to take.
Records Profile(const char* name) {
  Records r;
  CCommonFtn().InitStructure(&r.env, r.adapters);
  Put(r.env.ProfileName, name);
  r.env.IconIndex = 3;
  r.env.AdapterCount = 2;
  AdapterInfoStr& wired = r.adapters[0];
  Put(wired.DhcpEnabled, "yes");
  Put(wired.IpAddressList, "192.168.1.34");
  Put(wired.SubnetMask, "255.255.255.0");
  Put(wired.GatewayList, "192.168.1.1");
  Put(wired.PrimaryDnsServer, "192.168.1.1");
  Put(wired.ConnectionName, "Local Area Connection");
  Put(wired.DeviceDesc, "Intel(R) PRO/100 VE Network Connection");
  Put(wired.MediaSubType, "line");
  Put(wired.AdapterName, "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
  AdapterInfoStr& wireless = r.adapters[1];
  Put(wireless.DhcpEnabled, "no");
  Put(wireless.IpAddressList, "10.0.0.5");
  Put(wireless.SubnetMask, "255.255.255.0");
  Put(wireless.GatewayList, "10.0.0.1");
  Put(wireless.PrimaryDnsServer, "10.0.0.1");
  Put(wireless.SecondaryDnsServer, "10.0.0.2");
  Put(wireless.ConnectionName, "Wireless Network Connection");
  Put(wireless.DeviceDesc, "802.11b Wireless PC Card");
  Put(wireless.MediaSubType, "air");
  Put(wireless.AdapterName, "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}");
  Put(wireless.Metric, "20");
  return r;
}

struct Row {
  std::string operation;
  double ms = 0;  // the median of the calls: a busy machine makes a few calls far slower
  double calls = 0;
};

// Runs `operation` `repeats` times (each after `prepare`, which is not measured).
Row Time(CountingPlatform& counting, const std::string& name, int repeats,
         const std::function<int()>& operation, const std::function<void()>& prepare = {}) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> times;
  std::uint64_t calls = 0;
  for (int i = 0; i < repeats; ++i) {
    if (prepare) prepare();
    const std::uint64_t before = counting.calls();
    const auto start = Clock::now();
    const int result = operation();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    calls += counting.calls() - before;
    if (result == 0) std::fprintf(stderr, "%s answered 0\n", name.c_str());
  }
  std::sort(times.begin(), times.end());
  return {name, times[times.size() / 2], static_cast<double>(calls) / repeats};
}

}  // namespace

int main(int argc, char** argv) {
  const int profiles = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int repeats = argc > 2 ? std::atoi(argv[2]) : 20;
  if (profiles < 1 || repeats < 1) {
    std::fprintf(stderr, "usage: store_timing [PROFILES [REPEATS]]\n");
    return 2;
  }
  HKEY existing = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Corvane\\Nebrin", 0, KEY_READ, &existing) ==
      ERROR_SUCCESS) {
    RegCloseKey(existing);
    std::fprintf(stderr, "a profile store already exists here; run this in an empty prefix\n");
    return 2;
  }
  auto counting = std::make_shared<CountingPlatform>(nebrin::platform::MakeDefaultPlatform());
  nebrin::InstallPlatform(counting);
  CNetInfoManage manage;
  CNetInfoRetrieve retrieve;
  std::vector<Row> rows;

  Records stored = Profile("Profile");
  rows.push_back(Time(*counting, "new-profile save while the store fills", profiles, [&] {
    return manage.SaveProfileInfoToRegistry(&stored.env, stored.adapters, 1);
  }));

  rows.push_back(Time(*counting, "GetProfileCount", repeats,
                      [&] { return retrieve.GetProfileCount() == profiles ? 1 : 0; }));
  std::vector<NameIndex> entries(static_cast<std::size_t>(profiles));
  rows.push_back(Time(*counting, "GetNameIndexInfo (room for all)", repeats,
                      [&] { return retrieve.GetNameIndexInfo(entries.data(), profiles); }));
  NebrinChar free[] = {'N', 'o', 'b', 'o', 'd', 'y', 0};
  rows.push_back(Time(*counting, "CanUseThisName (a name not stored)", repeats,
                      [&] { return retrieve.CanUseThisName(free); }));
  Records loaded;
  rows.push_back(Time(*counting, "GetInfoFromRegistry (DHCP and static adapter)", repeats, [&] {
    CCommonFtn().InitStructure(&loaded.env, loaded.adapters);
    return retrieve.GetInfoFromRegistry(0, &loaded.env, loaded.adapters);
  }));
  // A save and a deletion of the newest profile in turn keep the store at its size.
  Records extra = Profile("Extra");
  rows.push_back(Time(
      *counting, "new-profile save", repeats,
      [&] { return manage.SaveProfileInfoToRegistry(&extra.env, extra.adapters, 1); },
      [&] {
        if (extra.env.nProfileKey >= profiles) manage.DeleteSelectProfile(extra.env.nProfileKey);
      }));
  manage.DeleteSelectProfile(extra.env.nProfileKey);
  rows.push_back(Time(
      *counting, "DeleteSelectProfile (the newest)", repeats,
      [&] { return manage.DeleteSelectProfile(extra.env.nProfileKey); },
      [&] { manage.SaveProfileInfoToRegistry(&extra.env, extra.adapters, 1); }));
  nebrin::InstallPlatform(nullptr);

  std::printf("%d profiles, %d calls per operation (the median time)\n\n", profiles, repeats);
  std::printf("| operation | ms per call | registry calls per call |\n|---|---|---|\n");
  for (const Row& row : rows)
    std::printf("| %s | %.3f | %.0f |\n", row.operation.c_str(), row.ms, row.calls);

  // What this run stored goes again.
  SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Corvane\\Nebrin");
  return 0;
}
