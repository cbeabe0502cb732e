#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "nebrin/platform_install.h"

namespace nebrin::fuzz {

std::uint8_t Input::Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

std::uint16_t Input::U16() {
  const std::uint16_t low = Byte();
  return static_cast<std::uint16_t>(low | (Byte() << 8));
}

std::uint32_t Input::U32() {
  const std::uint32_t low = U16();
  return low | (static_cast<std::uint32_t>(U16()) << 16);
}

std::vector<std::uint8_t> Input::Bytes(std::size_t max) {
  const std::size_t length = std::min<std::size_t>({U16(), max, size_ - std::min(pos_, size_)});
  std::vector<std::uint8_t> bytes(data_ + pos_, data_ + pos_ + length);
  pos_ += length;
  return bytes;
}

std::string Input::Text(std::size_t max) {
  const std::size_t length = std::min<std::size_t>({Byte(), max, size_ - std::min(pos_, size_)});
  std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
  pos_ += length;
  return text;
}

std::u16string Input::Units(std::size_t max) {
  const std::size_t length = std::min<std::size_t>(U16(), max);
  std::u16string units;
  for (std::size_t i = 0; i < length && !empty(); ++i)
    units.push_back(static_cast<char16_t>(U16()));
  return units;
}

void Require(bool condition, std::string_view what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

void RequireResult(int result, std::initializer_list<int> documented, std::string_view member) {
  if (std::find(documented.begin(), documented.end(), result) != documented.end()) return;
  std::fprintf(stderr, "fuzz check failed: %.*s answered %d, not one of its results\n",
               static_cast<int>(member.size()), member.data(), result);
  std::abort();
}

void RequireDriverStatus(int status, std::string_view member) {
  if (status <= 0) return;
  std::fprintf(stderr, "fuzz check failed: %.*s answered %d, neither 0 nor an error status\n",
               static_cast<int>(member.size()), member.data(), status);
  std::abort();
}

void CloseDevice(sim::Machine& machine, NebrinHandle device) {
  machine.deviceIo().CloseDevice(reinterpret_cast<platform::DeviceHandle>(device));
}

void RequireNothingOpen(const sim::Machine& machine, std::string_view after) {
  if (machine.OpenHandles() == 0 && machine.ComMisuses() == 0 && machine.WinsockMisuses() == 0)
    return;
  std::fprintf(stderr,
               "fuzz check failed after %.*s: %zu handles open, %zu COM misuses, %zu Winsock "
               "misuses\n",
               static_cast<int>(after.size()), after.data(), machine.OpenHandles(),
               machine.ComMisuses(), machine.WinsockMisuses());
  std::abort();
}

HeapProfile::HeapProfile()
    : env(new EnvInfoStr), adapters(new AdapterInfoStr[NEBRIN_ADAPTER_RECORDS]) {
  Poison(*this);
}

HeapProfile::HeapProfile(const HeapProfile& other) : HeapProfile() { *this = other; }

HeapProfile& HeapProfile::operator=(const HeapProfile& other) {
  *env = *other.env;
  std::copy(other.adapters.get(), other.adapters.get() + NEBRIN_ADAPTER_RECORDS, adapters.get());
  return *this;
}

void Poison(HeapProfile& profile) {
  std::memset(profile.env.get(), 0x5A, sizeof(EnvInfoStr));
  std::memset(profile.adapters.get(), 0x5A, sizeof(AdapterInfoStr) * NEBRIN_ADAPTER_RECORDS);
}

void Empty(HeapProfile& profile) {
  Poison(profile);
  CCommonFtn().InitStructure(profile.env.get(), profile.adapters.get());
  profile.env->bWLANWebKeyUse = 0;
  for (int i = 0; i < NEBRIN_ADAPTER_RECORDS; ++i) {
    profile.adapters[i].DhcpEnabled[0] = 0;
    profile.adapters[i].MediaSubType[0] = 0;
  }
}

bool AllTextsTerminated(const HeapProfile& profile) {
  const EnvInfoStr& e = *profile.env;
  bool ok = Terminated(e.ProfileName) && Terminated(e.strPrinterName) &&
            Terminated(e.strPublicDevGUID) && Terminated(e.strPrivateDevGUID) &&
            Terminated(e.strWLANConnectionName) && Terminated(e.strWLANPassWord);
  for (int i = 0; i < NEBRIN_ADAPTER_RECORDS; ++i) {
    const AdapterInfoStr& a = profile.adapters[i];
    ok = ok && Terminated(a.DhcpEnabled) && Terminated(a.IpAddressList) &&
         Terminated(a.GatewayList) && Terminated(a.SubnetMask) && Terminated(a.PrimaryWinsServer) &&
         Terminated(a.SecondaryWinsServer) && Terminated(a.PrimaryDnsServer) &&
         Terminated(a.SecondaryDnsServer) && Terminated(a.ConnectionName) &&
         Terminated(a.DeviceDesc) && Terminated(a.MediaSubType) && Terminated(a.AdapterName) &&
         Terminated(a.Metric);
  }
  return ok;
}

Installed::Installed(std::shared_ptr<sim::Machine> machine) : machine_(std::move(machine)) {
  InstallPlatform(machine_);
}

Installed::~Installed() { InstallPlatform(nullptr); }

void MakeSharing(EnvInfoStr& env, const AdapterInfoStr* adapters, int role) {
  env.nICSFlag = role;
  if (role == 0) return;
  std::copy(std::begin(adapters[0].AdapterName), std::end(adapters[0].AdapterName),
            std::begin(env.strPublicDevGUID));
  std::copy(std::begin(adapters[1].AdapterName), std::end(adapters[1].AdapterName),
            std::begin(env.strPrivateDevGUID));
}

namespace {

// One value of the current user's hive: its key's path, its name and what it holds.
struct StoredValue {
  std::string path;
  std::string name;
  sim::RegValue value;
};

void Collect(const sim::Machine& machine, const std::string& path, std::vector<StoredValue>& out) {
  for (const std::string& name : machine.ValueNames(sim::kHkcu, path))
    out.push_back({path, name, *machine.GetValue(sim::kHkcu, path, name)});
  for (const std::string& subkey : machine.SubkeyNames(sim::kHkcu, path))
    Collect(machine, path.empty() ? subkey : path + "\\" + subkey, out);
}

// The store as the library writes it on the demo machine, taken once; a machine file's text would
// take longer to read again for every run than the values take to write.
std::vector<StoredValue> BuildStore() {
  auto machine = sim::Machine::Demo();
  Installed installed(machine);
  CNetInfoManage manage;
  HeapProfile p;
  Empty(p);
  CNetInfoRetrieve().IPRetrieve(p.env.get(), p.adapters.get());
  Put(p.env->ProfileName, "Office");
  p.env->IconIndex = 3;
  manage.SaveProfileInfoToRegistry(p.env.get(), p.adapters.get(), 1);

  HeapProfile host = p;
  Put(host.env->ProfileName, "Host");
  MakeSharing(*host.env, host.adapters.get(), 1);
  host.env->bICFFlag = 1;
  host.env->bPrivateWlan = 1;
  host.env->bWLANWebKeyUse = 1;
  Put(host.env->strWLANConnectionName, "nebrin-adhoc");
  Put(host.env->strWLANPassWord, "0123456789");
  host.env->bDefaultPrinterFlag = 1;
  Put(host.env->strPrinterName, "Photo Inkjet 4200");
  manage.SaveProfileInfoToRegistry(host.env.get(), host.adapters.get(), 1);

  HeapProfile client = p;
  Put(client.env->ProfileName, "Client");
  client.env->AdapterCount = 1;
  client.adapters[0] = p.adapters[1];
  MakeSharing(*client.env, p.adapters.get(), 2);
  manage.SaveProfileInfoToRegistry(client.env.get(), client.adapters.get(), 1);
  manage.SetLastProfileNo(1);

  std::vector<StoredValue> values;
  Collect(*machine, "Software\\Corvane\\Nebrin", values);
  return values;
}

}  // namespace

std::shared_ptr<sim::Machine> StoredDemo() {
  static const std::vector<StoredValue> store = BuildStore();
  auto machine = sim::Machine::Demo();
  for (const StoredValue& v : store) machine->SetValue(sim::kHkcu, v.path, v.name, v.value);
  return machine;
}

}  // namespace nebrin::fuzz
