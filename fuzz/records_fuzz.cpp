// Fuzz target: the records a host fills. The fuzzer's bytes write any content into a profile
// record and its ten adapter records (texts without terminator, any counts, flags and indexes)
// and into a second profile; then every member that takes records runs on them against the demo
// machine with its three stored profiles: the change classification, the address script writers
// and address application, adapter matching, the connection checks, the sharing members, the ad
// hoc action, the protocol-driver requests, the machine-wide key, a save with its reload, which
// must give back what was stored, and applying the first profile over the second. The script
// must never gain a line the library did not mean to write.
#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "NebrinCoreDll.h"
#include "fuzz_support.h"

namespace nebrin::fuzz {
namespace {

struct TextField {
  std::size_t offset;
  std::size_t capacity;
};

#define NEBRIN_FIELD(record, field) \
  TextField { offsetof(record, field), sizeof(record::field) / sizeof(NebrinChar) }
constexpr std::array<TextField, 6> kEnvTexts = {
    NEBRIN_FIELD(EnvInfoStr, ProfileName),           NEBRIN_FIELD(EnvInfoStr, strPrinterName),
    NEBRIN_FIELD(EnvInfoStr, strPublicDevGUID),      NEBRIN_FIELD(EnvInfoStr, strPrivateDevGUID),
    NEBRIN_FIELD(EnvInfoStr, strWLANConnectionName), NEBRIN_FIELD(EnvInfoStr, strWLANPassWord)};
constexpr std::array<TextField, 13> kAdapterTexts = {
    NEBRIN_FIELD(AdapterInfoStr, DhcpEnabled),
    NEBRIN_FIELD(AdapterInfoStr, IpAddressList),
    NEBRIN_FIELD(AdapterInfoStr, GatewayList),
    NEBRIN_FIELD(AdapterInfoStr, SubnetMask),
    NEBRIN_FIELD(AdapterInfoStr, PrimaryWinsServer),
    NEBRIN_FIELD(AdapterInfoStr, SecondaryWinsServer),
    NEBRIN_FIELD(AdapterInfoStr, PrimaryDnsServer),
    NEBRIN_FIELD(AdapterInfoStr, SecondaryDnsServer),
    NEBRIN_FIELD(AdapterInfoStr, ConnectionName),
    NEBRIN_FIELD(AdapterInfoStr, DeviceDesc),
    NEBRIN_FIELD(AdapterInfoStr, MediaSubType),
    NEBRIN_FIELD(AdapterInfoStr, AdapterName),
    NEBRIN_FIELD(AdapterInfoStr, Metric)};
#undef NEBRIN_FIELD

constexpr std::array<std::size_t, 8> kEnvNumbers = {
    offsetof(EnvInfoStr, AdapterCount),   offsetof(EnvInfoStr, IconIndex),
    offsetof(EnvInfoStr, nProfileKey),    offsetof(EnvInfoStr, nICSFlag),
    offsetof(EnvInfoStr, bICFFlag),       offsetof(EnvInfoStr, bPrivateWlan),
    offsetof(EnvInfoStr, bWLANWebKeyUse), offsetof(EnvInfoStr, bDefaultPrinterFlag)};
constexpr std::array<int, 12> kNumbers = {0, 1, 2, 3, -1, 9, 10, 11, 100, INT_MIN, INT_MAX, -2};

const std::array<std::u16string, 22> kTexts = {u"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}",
                                               u"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}",
                                               u"yes",
                                               u"no",
                                               u"line",
                                               u"air",
                                               u"0.0.0.0",
                                               u"192.168.1.1",
                                               u"127.0.0.1",
                                               u"",
                                               u"Local Area Connection",
                                               u"Wireless Network Connection",
                                               u"Office Laser 4050",
                                               u"255.255.255.0",
                                               u"20",
                                               u"a\"b",  // a quote in a connection name
                                               u"x\r\npopd\r\nreset all",  // a line of its own
                                               u"\xFF02",
                                               u"\x266A",
                                               u"\x25D9",  // best fits onto the quote, LF and CR
                                               u"10.0.0.1 gateway = 10.0.0.9",
                                               u"\x7F"};

NebrinChar* At(void* record, std::size_t offset) {
  return reinterpret_cast<NebrinChar*>(static_cast<char*>(record) + offset);
}

// Writes any content into a text field: a text with its terminator, the whole field without
// one, or a run of units over part of the field.
void WriteText(Input& in, NebrinChar* field, std::size_t capacity) {
  std::u16string text;
  bool terminate = true;
  switch (in.Choice(4)) {
    case 0: {
      const std::size_t choice = in.Byte();
      text = choice < kTexts.size() ? kTexts[choice] : in.Units(capacity);
      break;
    }
    case 1:
      text = in.Units(capacity);
      break;
    case 2:
      text.assign(capacity, static_cast<char16_t>(in.U16()));
      terminate = false;
      break;
    default:
      text = in.Units(capacity);
      terminate = false;
      break;
  }
  const std::size_t length = std::min(text.size(), terminate ? capacity - 1 : capacity);
  for (std::size_t i = 0; i < length; ++i) field[i] = static_cast<NebrinChar>(text[i]);
  if (terminate) field[length] = 0;
}

void ChangeRecords(Input& in, HeapProfile& p) {
  switch (in.Choice(5)) {
    case 0: {
      int* number = reinterpret_cast<int*>(reinterpret_cast<char*>(p.env.get()) +
                                           kEnvNumbers[in.Choice(kEnvNumbers.size())]);
      const std::size_t choice = in.Byte();
      *number = choice < kNumbers.size() ? kNumbers[choice] : in.Int();
      break;
    }
    case 1: {
      const TextField f = kEnvTexts[in.Choice(kEnvTexts.size())];
      WriteText(in, At(p.env.get(), f.offset), f.capacity);
      break;
    }
    case 2: {
      AdapterInfoStr& a = p.adapters[in.Choice(NEBRIN_ADAPTER_RECORDS)];
      const TextField f = kAdapterTexts[in.Choice(kAdapterTexts.size())];
      WriteText(in, At(&a, f.offset), f.capacity);
      break;
    }
    case 3: {
      // Raw bytes anywhere in the records.
      constexpr std::size_t kEnvBytes = sizeof(EnvInfoStr);
      constexpr std::size_t kAll = kEnvBytes + sizeof(AdapterInfoStr) * NEBRIN_ADAPTER_RECORDS;
      std::size_t at = in.U16() % kAll;
      for (std::uint8_t b : in.Bytes(512)) {
        char* target = at < kEnvBytes
                           ? reinterpret_cast<char*>(p.env.get()) + at
                           : reinterpret_cast<char*>(p.adapters.get()) + (at - kEnvBytes);
        *target = static_cast<char>(b);
        at = (at + 1) % kAll;
      }
      break;
    }
    default:
      p.adapters[in.Choice(NEBRIN_ADAPTER_RECORDS)] = p.adapters[in.Choice(NEBRIN_ADAPTER_RECORDS)];
      break;
  }
}

// The records the run starts from: a stored profile as loaded, records never filled, or zeros.
HeapProfile StartingRecords(Input& in, sim::Machine& machine) {
  HeapProfile p;
  switch (in.Choice(5)) {
    case 0:
    case 1:
    case 2: {
      Empty(p);
      CNetInfoRetrieve().GetInfoFromRegistry(static_cast<int>(in.Choice(3)), p.env.get(),
                                             p.adapters.get());
      break;
    }
    case 3:
      break;  // the marker everywhere: no text has a terminator
    default:
      std::memset(p.env.get(), 0, sizeof(EnvInfoStr));
      std::memset(p.adapters.get(), 0, sizeof(AdapterInfoStr) * NEBRIN_ADAPTER_RECORDS);
      break;
  }
  machine.ResetCounts();
  return p;
}

// The system the script is written for: the OEM code page (852, and 866 on a Tablet PC, write
// the adapter lines in the OEM page), the ANSI page and the administrative rights.
void ChooseSystem(Input& in, sim::Machine& machine) {
  static constexpr std::uint32_t kOem[] = {437, 852, 866, 850};
  const std::uint8_t choice = in.Byte();
  sim::SystemState& system = machine.system_state();
  system.oemCodePage = kOem[choice & 3];
  system.tabletPc = (choice & 4) != 0;
  system.ansiCodePage = (choice & 8) != 0 ? 932 : 1252;
  system.administrator = (choice & 16) == 0;
}

template <std::size_t N>
std::u16string Stored(const NebrinChar (&field)[N]) {
  std::u16string text = FieldText(field);
  if (text.size() >= N) text.resize(N - 1);
  return text;
}

// What is stored is what loads: the reload gives every value the save wrote, as the save wrote
// it (texts cut to their capacity - 1, flags exactly 1, roles 1 and 2).
void RequireReloads(sim::Machine& machine, const HeapProfile& saved) {
  HeapProfile back;
  Empty(back);
  const EnvInfoStr& s = *saved.env;
  RequireResult(
      CNetInfoRetrieve().GetInfoFromRegistry(s.nProfileKey, back.env.get(), back.adapters.get()),
      {1}, "GetInfoFromRegistry of what was saved");
  RequireNothingOpen(machine, "GetInfoFromRegistry");
  const EnvInfoStr& b = *back.env;
  Require(FieldText(b.ProfileName) == Stored(s.ProfileName), "the name reloads");
  Require(b.IconIndex == s.IconIndex && b.AdapterCount == s.AdapterCount &&
              b.nProfileKey == s.nProfileKey,
          "the numbers reload");
  Require(b.bDefaultPrinterFlag == (s.bDefaultPrinterFlag == 1 ? 1 : 0),
          "the printer flag reloads");
  if (b.bDefaultPrinterFlag == 1)
    Require(FieldText(b.strPrinterName) == Stored(s.strPrinterName), "the printer reloads");
  const int role = s.nICSFlag == 1 || s.nICSFlag == 2 ? s.nICSFlag : 0;
  Require(b.nICSFlag == role, "the sharing role reloads");
  if (role == 1) {
    Require(FieldText(b.strPublicDevGUID) == Stored(s.strPublicDevGUID) &&
                b.bICFFlag == (s.bICFFlag == 1 ? 1 : 0),
            "the public side reloads");
  }
  if (role != 0) {
    Require(FieldText(b.strPrivateDevGUID) == Stored(s.strPrivateDevGUID) &&
                b.bPrivateWlan == (s.bPrivateWlan == 1 ? 1 : 0),
            "the private side reloads");
  }
  if (role != 0 && s.bPrivateWlan == 1) {
    Require(FieldText(b.strWLANConnectionName) == Stored(s.strWLANConnectionName) &&
                b.bWLANWebKeyUse == (s.bWLANWebKeyUse == 1 ? 1 : 0),
            "the wireless network reloads");
    if (s.bWLANWebKeyUse == 1)
      Require(FieldText(b.strWLANPassWord) == Stored(s.strWLANPassWord), "the key reloads");
  }
  for (int i = 0; i < s.AdapterCount; ++i) {
    const AdapterInfoStr& sa = saved.adapters[i];
    const AdapterInfoStr& ba = back.adapters[i];
    Require(FieldText(ba.AdapterName) == Stored(sa.AdapterName) &&
                FieldText(ba.ConnectionName) == Stored(sa.ConnectionName) &&
                FieldText(ba.DeviceDesc) == Stored(sa.DeviceDesc) &&
                FieldText(ba.DhcpEnabled) == Stored(sa.DhcpEnabled) &&
                FieldText(ba.MediaSubType) == Stored(sa.MediaSubType),
            "an adapter's identity reloads");
    if (FieldText(sa.DhcpEnabled) != u"no") continue;  // refreshed from its lease instead
    Require(FieldText(ba.IpAddressList) == Stored(sa.IpAddressList) &&
                FieldText(ba.SubnetMask) == Stored(sa.SubnetMask) &&
                FieldText(ba.Metric) == Stored(sa.Metric) &&
                FieldText(ba.GatewayList) == Stored(sa.GatewayList) &&
                FieldText(ba.PrimaryWinsServer) == Stored(sa.PrimaryWinsServer) &&
                FieldText(ba.SecondaryWinsServer) == Stored(sa.SecondaryWinsServer) &&
                FieldText(ba.PrimaryDnsServer) == Stored(sa.PrimaryDnsServer) &&
                FieldText(ba.SecondaryDnsServer) == Stored(sa.SecondaryDnsServer),
            "a static adapter's addresses reload");
  }
}

// A script line with its control bytes and the bytes above ASCII shown as \xNN.
std::string Escaped(const std::string& line) {
  std::string shown;
  for (unsigned char c : line) {
    if (c >= 0x20 && c < 0x7F) {
      shown.push_back(static_cast<char>(c));
    } else {
      char hex[5];
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      shown += hex;
    }
  }
  return shown;
}

// The script holds only whole lines the writers make: each ends with CR LF, has no other control
// byte, and begins as one of the script's commands.
void RequireScriptLines(const sim::Machine& machine) {
  const auto& files = machine.file_state().files;
  const auto it = files.find(machine.process_state().currentDirectory + "\\ip.txt");
  if (it == files.end()) return;
  static const std::string kStarts[] = {"pushd interface",  "reset all",    "popd",
                                        "set address name", "set dns name", "set wins name",
                                        "add dns name",     "add wins name"};
  const std::string& script = it->second;
  std::size_t begin = 0;
  while (begin < script.size()) {
    const std::size_t end = script.find("\r\n", begin);
    Require(end != std::string::npos, "every script line ends with CR LF");
    const std::string line = script.substr(begin, end - begin);
    const bool clean = std::all_of(line.begin(), line.end(),
                                   [](unsigned char c) { return c >= 0x20 && c != 0x7F; });
    const bool command =
        std::any_of(std::begin(kStarts), std::end(kStarts),
                    [&](const std::string& start) { return line.rfind(start, 0) == 0; });
    if (!clean || !command) std::fprintf(stderr, "the line: %s\n", Escaped(line).c_str());
    Require(clean, "no control byte inside a line");
    Require(command, "every line is one of the script's commands");
    begin = end + 2;
  }
}

void Run(Input& in) {
  auto machine = StoredDemo();
  Installed installed(machine);
  ChooseSystem(in, *machine);
  const int index = in.Small();  // the adapter index the members that take one are given
  HeapProfile first = StartingRecords(in, *machine);
  HeapProfile second;
  HeapProfile* target = &first;
  for (int op = 0; op < 64 && !in.empty(); ++op) {
    if (in.Choice(8) == 0 && target == &first) {
      second = first;  // the second profile starts as the first and changes from there
      target = &second;
      continue;
    }
    ChangeRecords(in, *target);
  }
  if (target == &first) second = first;

  CNetInfoRetrieve retrieve;
  CNetInfoManage manage;
  auto copy = [&] { return HeapProfile(first); };

  const int wireless = retrieve.GetWLANDeviceCount(first.env.get(), first.adapters.get());
  Require(wireless >= 0 && wireless <= NEBRIN_ADAPTER_RECORDS, "at most ten wireless entries");
  {
    HeapProfile a = copy();
    HeapProfile b = copy();
    RequireResult(retrieve.CheckInfoChangeStatus(a.env.get(), a.adapters.get(), b.env.get(),
                                                 b.adapters.get()),
                  {72}, "CheckInfoChangeStatus of a profile and its copy");
    RequireResult(retrieve.CheckInfoChangeStatus(a.env.get(), a.adapters.get(), second.env.get(),
                                                 second.adapters.get()),
                  {70, 71, 72, 73, 74, 75}, "CheckInfoChangeStatus");
  }

  // The script writers, adapter by adapter, and the whole address application.
  RequireResult(manage.MakeInitialPartInIPTxt(), {0, 1}, "MakeInitialPartInIPTxt");
  for (int i : {index, 0, 1, 2, 9}) {
    HeapProfile p = copy();
    RequireResult(manage.MakeDHCPPartInIPTxt(p.env.get(), p.adapters.get(), i), {0, 1},
                  "MakeDHCPPartInIPTxt");
    RequireResult(manage.MakeStaticPartInIPTxt(p.env.get(), p.adapters.get(), i), {0, 1},
                  "MakeStaticPartInIPTxt");
  }
  RequireResult(manage.MakeEndPartInIPTxt(), {0, 1}, "MakeEndPartInIPTxt");
  RequireNothingOpen(*machine, "the script writers");
  RequireScriptLines(*machine);
  {
    HeapProfile p = copy();
    RequireResult(manage.NormalSetup(p.env.get(), p.adapters.get()), {18, 19, 21, 25},
                  "NormalSetup");
    RequireNothingOpen(*machine, "NormalSetup");
    RequireScriptLines(*machine);
  }

  // Adapter matching.
  {
    HeapProfile p = copy();
    for (int i : {index, 0, 1}) {
      RequireResult(manage.CheckAdapterExist(p.env.get(), p.adapters.get(), i), {0, 1},
                    "CheckAdapterExist");
    }
    p = copy();
    RequireResult(manage.FindSavedDevice(p.env.get(), p.adapters.get()), {0, 1}, "FindSavedDevice");
    p = copy();
    RequireResult(manage.GetChangeStatus(p.env.get(), p.adapters.get()), {0, 1}, "GetChangeStatus");
    p = copy();
    for (int i : {index, 0, 1}) {
      RequireResult(manage.GetDHCPIP(i, p.env->nProfileKey, p.adapters.get()), {0, 1}, "GetDHCPIP");
    }
    RequireNothingOpen(*machine, "adapter matching");
  }

  // The connection checks on one adapter record.
  {
    CNetDiag diag;
    for (int i : {index, 0, 1}) {
      HeapProfile p = copy();
      RequireResult(diag.CheckOutCableConnection(p.env.get(), p.adapters.get(), i), {0, 1},
                    "CheckOutCableConnection");
      RequireResult(diag.CheckOutHWEnableDisable(p.env.get(), p.adapters.get(), i), {0, 1},
                    "CheckOutHWEnableDisable");
      RequireResult(diag.CheckOutNetConnectStatus(p.env.get(), p.adapters.get(), i),
                    {50, 51, 52, 53}, "CheckOutNetConnectStatus");
      RequireNothingOpen(*machine, "the connection checks");
    }
  }

  // Connection sharing and the firewall.
  {
    HeapProfile p = copy();
    RequireResult(manage.ICSServerSetup(p.env.get(), p.adapters.get(), 1),
                  {10, 11, 12, 13, 14, 15, 16, 17, 24, 25}, "ICSServerSetup");
    RequireNothingOpen(*machine, "ICSServerSetup");
    p = copy();
    RequireResult(manage.ServerIPSet(p.env.get(), p.adapters.get()), {16, 18}, "ServerIPSet");
    RequireNothingOpen(*machine, "ServerIPSet");
    RequireScriptLines(*machine);
    p = copy();
    RequireResult(manage.CheckServerIPChange(p.env.get(), p.adapters.get()), {0, 1},
                  "CheckServerIPChange");
    p = copy();
    RequireResult(manage.CheckServerIPChangeResult(p.env.get(), p.adapters.get()), {0, 1},
                  "CheckServerIPChangeResult");
    p = copy();
    RequireResult(manage.SetICF(p.env.get()), {0, 1, 15}, "SetICF");
    p = copy();
    RequireResult(manage.ICSClientSetup(p.env.get(), p.adapters.get()), {18, 19, 21, 24, 25},
                  "ICSClientSetup");
    RequireScriptLines(*machine);
    p = copy();
    RequireResult(manage.CheckClientIPChange(p.env.get(), p.adapters.get()), {0, 1},
                  "CheckClientIPChange");
    p = copy();
    RequireResult(manage.ICSServerSetup(p.env.get(), p.adapters.get(), 0), {10, 11, 15, 16},
                  "ICSServerSetup (teardown)");
    RequireNothingOpen(*machine, "the sharing members");
  }

  // Wireless: the one-click ad hoc action takes the profile record.
  {
    HeapProfile p = copy();
    NebrinHandle device = nullptr;
    RequireResult(CWLanControl().MakeOneClickAdHoc(device, p.env.get()), {22, 23, 27},
                  "MakeOneClickAdHoc");
    RequireNothingOpen(*machine, "MakeOneClickAdHoc");
  }
  // The protocol-driver requests with the record's texts: the adapter name to bind, the network
  // name and key. A handle that could not be bound is null, which every request must refuse.
  {
    CWLanControl wlan;
    const AdapterInfoStr& adapter =
        first.adapters[static_cast<std::size_t>(in.Choice(NEBRIN_ADAPTER_RECORDS))];
    std::u16string name = Stored(adapter.AdapterName);
    std::u16string ssid = Stored(first.env->strWLANConnectionName);
    std::u16string key = Stored(first.env->strWLANPassWord);
    NebrinHandle device = nullptr;
    const int opened = wlan.OpenDevice(name.data(), device);
    RequireDriverStatus(opened, "OpenDevice");
    Require(opened == 0 || device == nullptr, "a failed OpenDevice hands out no handle");
    auto request = [&](int status, std::string_view member) {
      RequireDriverStatus(status, member);
      if (device == nullptr) Require(status < 0, "a request without a bound handle fails");
    };
    request(wlan.SetSsid(device, ssid.data()), "SetSsid");
    request(wlan.AddWepKey(device, kNumbers[in.Choice(kNumbers.size())], key.data()), "AddWepKey");
    request(wlan.SwitchToAdHoc(device, ssid.data(), key.data(), first.env->bWLANWebKeyUse),
            "SwitchToAdHoc");
    if (device != nullptr) CloseDevice(*machine, device);
    RequireNothingOpen(*machine, "the driver requests");
  }

  // The store: a new save and its reload, a rewrite, the profile's own values and the name
  // check, the machine-wide key.
  {
    HeapProfile p = copy();
    const int saved = manage.SaveProfileInfoToRegistry(p.env.get(), p.adapters.get(), 1);
    RequireResult(saved, {0, 1}, "SaveProfileInfoToRegistry (new)");
    RequireNothingOpen(*machine, "SaveProfileInfoToRegistry (new)");
    if (saved == 1) RequireReloads(*machine, p);
    p = copy();
    const int rewritten = manage.SaveProfileInfoToRegistry(p.env.get(), p.adapters.get(), 0);
    RequireResult(rewritten, {0, 1}, "SaveProfileInfoToRegistry (rewrite)");
    RequireNothingOpen(*machine, "SaveProfileInfoToRegistry (rewrite)");
    if (rewritten == 1) RequireReloads(*machine, p);
    p = copy();
    RequireResult(manage.SaveValueForEachProfile(p.env.get(), p.env->nProfileKey), {0, 1},
                  "SaveValueForEachProfile");
    for (int i : {index, 0, 1}) {
      RequireResult(manage.SaveValueForEachAdapter(p.adapters.get(), p.env->nProfileKey, i), {0, 1},
                    "SaveValueForEachAdapter");
    }
    p = copy();
    RequireResult(manage.SaveNameOrPrinter(p.env.get()), {0, 1}, "SaveNameOrPrinter");
    std::u16string name = Stored(first.env->ProfileName);
    RequireResult(retrieve.CanUseThisNameEdit(name.data(), p.env.get()), {0, 1},
                  "CanUseThisNameEdit");
    RequireResult(manage.MakeHKLMNebrinKey(p.env.get()), {0, 1}, "MakeHKLMNebrinKey");
    RequireResult(manage.DeleteHKLMNebrinKey(), {0, 1}, "DeleteHKLMNebrinKey");
    RequireNothingOpen(*machine, "the store members");
  }

  // Applying the first profile, with the second in force or none. Sharing, the wireless
  // configuration service and the ad hoc tool run on the machine's virtual clock.
  {
    HeapProfile p = copy();
    HeapProfile current(second);
    const bool none = in.Choice(4) == 0;
    NebrinHandle handle = nullptr;
    RequireResult(manage.ApplySelectProfile(handle, p.env.get(), p.adapters.get(),
                                            none ? nullptr : current.env.get(),
                                            none ? nullptr : current.adapters.get()),
                  {0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 24, 25, 26, 27, 28},
                  "ApplySelectProfile");
    RequireNothingOpen(*machine, "ApplySelectProfile");
    RequireScriptLines(*machine);
  }
}

}  // namespace
}  // namespace nebrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nebrin::fuzz::Input in(data, size);
  nebrin::fuzz::Run(in);
  return 0;
}
