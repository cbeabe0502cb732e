// A host built the way a host of NebrinCoreDll.dll is built on Windows: Microsoft's ABI (clang for
// *-pc-windows-msvc), no C runtime, linked by lld-link against NebrinCoreDll.lib and the system's
// import libraries. It calls the library across that ABI and checks what it gets against the
// registry. Prints one line per check; the exit status is the number of failed checks.
// It writes the registry keys that describe Wine's adapters itself, as an installed Windows has
// them, so that discovery keeps every adapter and its records can be compared field by field, and
// deletes them again afterwards.
#include "NebrinCoreDll.h"

// The few system calls the host needs, declared as the Windows SDK declares them (this build has
// no SDK headers).
extern "C" {
__declspec(dllimport) unsigned long __stdcall GetAdaptersInfo(void* adapters, unsigned long* size);
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int status);
__declspec(dllimport) long __stdcall RegOpenKeyExW(void* key, const wchar_t* path,
                                                   unsigned long options, unsigned long access,
                                                   void** opened);
__declspec(dllimport) long __stdcall RegQueryValueExW(void* key, const wchar_t* name,
                                                      unsigned long* reserved, unsigned long* type,
                                                      unsigned char* data, unsigned long* size);
__declspec(dllimport) long __stdcall RegCloseKey(void* key);
__declspec(dllimport) long __stdcall RegCreateKeyExW(void* key, const wchar_t* path,
                                                     unsigned long reserved, wchar_t* keyClass,
                                                     unsigned long options, unsigned long access,
                                                     void* security, void** created,
                                                     unsigned long* disposition);
__declspec(dllimport) long __stdcall RegSetValueExW(void* key, const wchar_t* name,
                                                    unsigned long reserved, unsigned long type,
                                                    const unsigned char* data, unsigned long size);
__declspec(dllimport) long __stdcall RegDeleteTreeW(void* key, const wchar_t* path);

// The compiler may call these for block copies and fills; there is no C runtime to provide them.
void* memset(void* target, int value, std::size_t size) {
  volatile unsigned char* bytes = static_cast<unsigned char*>(target);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value);
  return target;
}
void* memcpy(void* target, const void* source, std::size_t size) {
  volatile unsigned char* to = static_cast<unsigned char*>(target);
  const unsigned char* from = static_cast<const unsigned char*>(source);
  for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
  return target;
}
}

// Microsoft's constructors return the object's address. A C++ host never sees that value, so the
// host calls the exported constructors as plain functions to read it.
#if defined(_M_IX86)
#define NEBRIN_CONSTRUCTOR_CALL __thiscall
#define NEBRIN_CONSTRUCTOR_NAME(Class) "??0" #Class "@@QAE@XZ"
#else
#define NEBRIN_CONSTRUCTOR_CALL
#define NEBRIN_CONSTRUCTOR_NAME(Class) "??0" #Class "@@QEAA@XZ"
#endif
#define NEBRIN_CONSTRUCTOR(Class)                                                                 \
  extern "C" __declspec(dllimport) void* NEBRIN_CONSTRUCTOR_CALL Construct##Class(void*) __asm__( \
      NEBRIN_CONSTRUCTOR_NAME(Class));
NEBRIN_CONSTRUCTOR(CCommonFtn)
NEBRIN_CONSTRUCTOR(CICSManage)
NEBRIN_CONSTRUCTOR(CNetDiag)
NEBRIN_CONSTRUCTOR(CNetInfoManage)
NEBRIN_CONSTRUCTOR(CNetInfoRetrieve)
NEBRIN_CONSTRUCTOR(CWLanControl)
NEBRIN_CONSTRUCTOR(CNebrinCoreDll)

#if defined(_M_IX86)
// On i686 every member is __thiscall: the object in ECX, the arguments on the stack, removed by
// the member itself. The host also calls the copy assignments by their exported names and watches
// the stack pointer around each call: a member that leaves its argument behind, or removes too
// much, moves it.
#define NEBRIN_ASSIGNMENT(Class)                                   \
  extern "C" __declspec(dllimport) void* __thiscall Assign##Class( \
      void*, const void*) __asm__("??4" #Class "@@QAEAAV0@ABV0@@Z");
NEBRIN_ASSIGNMENT(CCommonFtn)
NEBRIN_ASSIGNMENT(CICSManage)
NEBRIN_ASSIGNMENT(CNetDiag)
NEBRIN_ASSIGNMENT(CNetInfoManage)
NEBRIN_ASSIGNMENT(CNetInfoRetrieve)
NEBRIN_ASSIGNMENT(CRoamingControl)
NEBRIN_ASSIGNMENT(CWLanControl)
NEBRIN_ASSIGNMENT(CNebrinCoreDll)
#endif

// Generated with NebrinCoreDll.def (member_references.cpp): uses every exported member, so the
// link shows NebrinCoreDll.lib resolves them all.
void UseEveryMember();

namespace {

// The predefined keys are sign-extended 32-bit values.
void* const kCurrentUser = reinterpret_cast<void*>(static_cast<long long>(int(0x80000001)));
void* const kLocalMachine = reinterpret_cast<void*>(static_cast<long long>(int(0x80000002)));
constexpr unsigned long kKeyRead = 0x20019;
constexpr unsigned long kStdOutput = static_cast<unsigned long>(-11);

int g_failures = 0;

void Say(const char* text) {
  unsigned long length = 0;
  while (text[length] != 0) ++length;
  unsigned long written = 0;
  WriteFile(GetStdHandle(kStdOutput), text, length, &written, nullptr);
}

void SayNumber(int number) {
  char digits[16];
  int at = 15;
  digits[at] = 0;
  const bool negative = number < 0;
  unsigned int rest = negative ? 0u - static_cast<unsigned int>(number) : number;
  do {
    digits[--at] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (negative) digits[--at] = '-';
  Say(digits + at);
}

void Check(bool passed, const char* what) {
  Say(passed ? "ok      " : "FAILED  ");
  Say(what);
  Say("\n");
  if (!passed) ++g_failures;
}

bool Same(const wchar_t* a, const wchar_t* b) {
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

template <int N>
void Put(wchar_t (&field)[N], const wchar_t* text) {
  int i = 0;
  for (; i < N - 1 && text[i] != 0; ++i) field[i] = text[i];
  field[i] = 0;
}

// A registry path or value under construction, in a fixed buffer that stays NUL-filled past its
// end (so it also serves as a REG_MULTI_SZ of one string).
class Path {
 public:
  Path() = default;
  explicit Path(const wchar_t* start) { Add(start); }
  Path& Add(const wchar_t* text) {
    while (*text != 0 && length_ < 254) text_[length_++] = *text++;
    return *this;
  }
  // ASCII text, such as the adapter names IP Helper gives.
  Path& AddNarrow(const char* text) {
    while (*text != 0 && length_ < 254) text_[length_++] = static_cast<unsigned char>(*text++);
    return *this;
  }
  Path& Add(int number) {
    wchar_t digits[12];
    int at = 11;
    digits[at] = 0;
    do {
      digits[--at] = static_cast<wchar_t>(L'0' + number % 10);
      number /= 10;
    } while (number != 0);
    return Add(digits + at);
  }
  const wchar_t* c_str() const { return text_; }
  int length() const { return length_; }

 private:
  wchar_t text_[256] = {};
  int length_ = 0;
};

bool KeyExists(void* root, const Path& path) {
  void* key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, kKeyRead, &key) != 0) return false;
  RegCloseKey(key);
  return true;
}

// Reads a text value into `text`; false when the key or the value cannot be read.
bool ReadText(void* root, const Path& path, const wchar_t* name, wchar_t (&text)[256]) {
  void* key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, kKeyRead, &key) != 0) return false;
  unsigned long type = 0;
  unsigned long size = sizeof(text) - sizeof(wchar_t);
  const long status =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<unsigned char*>(text), &size);
  RegCloseKey(key);
  text[size / sizeof(wchar_t)] = 0;
  return status == 0 && type == 1;  // REG_SZ
}

bool ValueIs(void* root, const Path& path, const wchar_t* name, const wchar_t* expected) {
  wchar_t text[256];
  return ReadText(root, path, name, text) && Same(text, expected);
}

alignas(16) unsigned char g_storage[48];

void Fill(void* target, unsigned char pattern, std::size_t size) { memset(target, pattern, size); }

// Leaves an address other than the object's in the result register, so that a constructor that
// does not set it cannot pass by chance.
[[gnu::noinline]] void* Unrelated() {
  static volatile int calls;
  calls = calls + 1;
  return &g_failures;
}

// Constructs at an address other than the start of the filled storage, which the fill's own
// result register may still hold.
template <typename Construct>
void CheckConstructor(Construct construct, const char* what) {
  Fill(g_storage, 0xA5, sizeof(g_storage));
  void* const object = g_storage + 16;
  Unrelated();
  Check(construct(object) == object, what);
}

void Constructors() {
  CheckConstructor(ConstructCCommonFtn, "CCommonFtn's constructor returns the object");
  CheckConstructor(ConstructCICSManage, "CICSManage's constructor returns the object");
  CheckConstructor(ConstructCNetDiag, "CNetDiag's constructor returns the object");
  CheckConstructor(ConstructCNetInfoManage, "CNetInfoManage's constructor returns the object");
  CheckConstructor(ConstructCNetInfoRetrieve, "CNetInfoRetrieve's constructor returns the object");
  CheckConstructor(ConstructCNebrinCoreDll, "CNebrinCoreDll's constructor returns the object");
  CheckConstructor(ConstructCWLanControl, "CWLanControl's constructor returns the object");
  Check(reinterpret_cast<CWLanControl*>(g_storage + 16)->bWZCStopped == static_cast<short>(0xA5A5),
        "CWLanControl's constructor leaves bWZCStopped as it was");
}

// Calls Class's copy assignment through the DLL's Microsoft-named export, with another address
// left in the result register first.
template <typename Class>
void CheckAssignment(const char* what) {
  Class source;
  Class target;
  Unrelated();
  Check(&(target = source) == &target, what);
}

#if defined(_M_IX86)
// Calls an exported assignment on objects in g_storage, with another address left in the result
// register first; true when it returns the target and leaves the stack pointer as it found it.
[[gnu::noinline]] bool AssignKeepsStack(void*(__thiscall* assign)(void*, const void*)) {
  Fill(g_storage, 0x5A, sizeof(g_storage));
  void* const target = g_storage + 16;
  const void* const source = g_storage + 32;
  Unrelated();
  unsigned long before = 0;
  unsigned long after = 0;
  __asm__ volatile("movl %%esp, %0" : "=r"(before));
  void* const result = assign(target, source);
  __asm__ volatile("movl %%esp, %0" : "=r"(after));
  return result == target && before == after;
}

void AssignmentsByName() {
  using Assignment = void*(__thiscall*)(void*, const void*);
  const struct {
    Assignment assign;
    const char* what;
  } assignments[] = {
      {AssignCCommonFtn, "CCommonFtn's assignment by name: __thiscall, returns the target"},
      {AssignCICSManage, "CICSManage's assignment by name: __thiscall, returns the target"},
      {AssignCNetDiag, "CNetDiag's assignment by name: __thiscall, returns the target"},
      {AssignCNetInfoManage, "CNetInfoManage's assignment by name: __thiscall, returns the target"},
      {AssignCNetInfoRetrieve,
       "CNetInfoRetrieve's assignment by name: __thiscall, returns the target"},
      {AssignCRoamingControl,
       "CRoamingControl's assignment by name: __thiscall, returns the target"},
      {AssignCWLanControl, "CWLanControl's assignment by name: __thiscall, returns the target"},
      {AssignCNebrinCoreDll, "CNebrinCoreDll's assignment by name: __thiscall, returns the target"},
  };
  for (const auto& assignment : assignments) {
    Check(AssignKeepsStack(assignment.assign), assignment.what);
  }
}
#else
void AssignmentsByName() {}
#endif

void Assignments() {
  CheckAssignment<CCommonFtn>("CCommonFtn's assignment returns the object assigned to");
  CheckAssignment<CICSManage>("CICSManage's assignment returns the object assigned to");
  CheckAssignment<CNetDiag>("CNetDiag's assignment returns the object assigned to");
  CheckAssignment<CNetInfoManage>("CNetInfoManage's assignment returns the object assigned to");
  CheckAssignment<CNetInfoRetrieve>("CNetInfoRetrieve's assignment returns the object assigned to");
  CheckAssignment<CRoamingControl>("CRoamingControl's assignment returns the object assigned to");
  CheckAssignment<CWLanControl>("CWLanControl's assignment returns the object assigned to");
  CheckAssignment<CNebrinCoreDll>("CNebrinCoreDll's assignment returns the object assigned to");
  CWLanControl source;
  CWLanControl target;
  source.bWZCStopped = 1;
  target.bWZCStopped = 0;
  target = source;
  Check(target.bWZCStopped == 1, "CWLanControl's assignment copies bWZCStopped");
}

EnvInfoStr g_env;
AdapterInfoStr g_adapters[NEBRIN_ADAPTER_RECORDS];
EnvInfoStr g_loaded;
AdapterInfoStr g_loadedAdapters[NEBRIN_ADAPTER_RECORDS];
NameIndex g_names[4];

const wchar_t kStoreRoot[] = L"Software\\Corvane\\Nebrin";
const wchar_t kConnections[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

void Records() {
  Fill(&g_env, 0xCD, sizeof(g_env));
  Fill(g_adapters, 0xCD, sizeof(g_adapters));
  CCommonFtn().InitStructure(&g_env, g_adapters);
  Check(g_env.nProfileKey == -1 && g_env.AdapterCount == 0 && g_env.ProfileName[0] == 0 &&
            g_env.strWLANPassWord[0] == 0,
        "InitStructure empties the profile record");
  Check(g_adapters[0].IpAddressList[0] == 0 && g_adapters[9].Metric[0] == 0 &&
            g_adapters[9].AdapterName[0] == 0,
        "InitStructure empties all ten adapter records");
}

// The leading fields of IP Helper's IP_ADAPTER_INFO and IP_ADDR_STRING as the SDK lays them out;
// the host reads no further.
struct IpAddrString {
  IpAddrString* next;
  char address[16];
  char mask[16];
  unsigned long context;
};
struct ListedAdapter {
  ListedAdapter* next;
  unsigned long comboIndex;
  char name[260];
  char description[132];
  unsigned int addressLength;
  unsigned char address[8];
  unsigned long index;
  unsigned int type;
  unsigned int dhcpEnabled;
  IpAddrString* currentAddress;
  IpAddrString addresses;
  IpAddrString gateways;
};
alignas(16) unsigned char g_adapterList[32768];

const wchar_t kInterfaces[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const wchar_t kDevices[] = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1234&DEV_0002";
const wchar_t kDeviceInstances[] = L"PCI\\VEN_1234&DEV_0002\\";

// The first key along `path`, below HKEY_LOCAL_MACHINE, that does not exist: the top of what
// creating `path` adds. Empty when the whole path exists.
Path FirstMissing(const Path& path) {
  Path prefix;
  for (const wchar_t* at = path.c_str();; ++at) {
    if ((*at == L'\\' || *at == 0) && !KeyExists(kLocalMachine, prefix)) return prefix;
    if (*at == 0) return Path();
    const wchar_t one[2] = {*at, 0};
    prefix.Add(one);
  }
}

// The tops of the keys the host created, in the order it created them. Deleting their trees, last
// first, removes everything the host added and nothing Wine had.
constexpr int kMostCreated = 3 * NEBRIN_ADAPTER_RECORDS;
Path g_created[kMostCreated];
int g_createdCount = 0;

// Creates a key below HKEY_LOCAL_MACHINE, noting in g_created what that adds, and sets values in
// it; ok() is false once anything failed.
class WrittenKey {
 public:
  explicit WrittenKey(const Path& path) {
    const Path created = FirstMissing(path);
    if (created.length() != 0) {
      if (g_createdCount == kMostCreated) return;
      g_created[g_createdCount++] = created;
    }
    ok_ = RegCreateKeyExW(kLocalMachine, path.c_str(), 0, nullptr, 0, 0x20006 /* KEY_WRITE */,
                          nullptr, &key_, nullptr) == 0;
  }
  ~WrittenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  WrittenKey(const WrittenKey&) = delete;
  WrittenKey& operator=(const WrittenKey&) = delete;

  WrittenKey& Text(const wchar_t* name, const Path& text) {
    return Set(name, 1 /* REG_SZ */, text.c_str(), (text.length() + 1) * sizeof(wchar_t));
  }
  WrittenKey& Texts(const wchar_t* name, const Path& text) {  // REG_MULTI_SZ of one string
    return Set(name, 7 /* REG_MULTI_SZ */, text.c_str(), (text.length() + 2) * sizeof(wchar_t));
  }
  WrittenKey& Number(const wchar_t* name, unsigned long value) {
    return Set(name, 4 /* REG_DWORD */, &value, sizeof(value));
  }
  bool ok() const { return ok_; }

 private:
  WrittenKey& Set(const wchar_t* name, unsigned long type, const void* data, unsigned long size) {
    ok_ = ok_ &&
          RegSetValueExW(key_, name, 0, type, static_cast<const unsigned char*>(data), size) == 0;
    return *this;
  }

  void* key_ = nullptr;
  bool ok_ = false;
};

// The TCP/IP, connection and device keys of adapter `number` (from 1, in Wine's order).
bool WriteAdapterKeys(const ListedAdapter& adapter, int number) {
  WrittenKey tcpip(Path(kInterfaces).AddNarrow(adapter.name));
  tcpip.Texts(L"IPAddress", Path(L"10.9.8.7"))
      .Texts(L"SubnetMask", Path(L"255.255.0.0"))
      .Texts(L"DefaultGateway", Path(L"10.9.8.254"))
      .Text(L"NameServer", Path(L"10.9.8.1,10.9.8.2"))
      .Text(L"DhcpSubnetMask", Path(L"255.255.255.0"))
      .Text(L"DhcpNameServer", Path(L"10.9.8.3 10.9.8.4"))
      .Number(L"InterfaceMetric", 30);
  WrittenKey connection(Path(kConnections).AddNarrow(adapter.name).Add(L"\\Connection"));
  connection.Text(L"Name", Path(L"MSVC host connection ").Add(number))
      .Text(L"PnpInstanceID", Path(kDeviceInstances).Add(number))
      .Number(L"MediaSubType", 1);  // a wired medium
  WrittenKey device(Path(kDevices).Add(L"\\").Add(number));
  device.Text(L"Service", Path(L"e1000"))
      .Text(L"DeviceDesc", Path(L"MSVC host adapter ").Add(number));
  return tcpip.ok() && connection.ok() && device.ok();
}

// Deletes what WriteAdapterKeys created; false when any of it is still there.
bool RemoveAdapterKeys() {
  bool removed = true;
  while (g_createdCount > 0) {
    const Path& created = g_created[--g_createdCount];
    RegDeleteTreeW(kLocalMachine, created.c_str());
    removed = !KeyExists(kLocalMachine, created) && removed;
  }
  return removed;
}

// The record IPRetrieve made of adapter `number` against what the host wrote for it.
void CheckRecord(const ListedAdapter& adapter, int number) {
  const AdapterInfoStr& record = g_adapters[number - 1];
  Check(Same(record.AdapterName, Path(L"").AddNarrow(adapter.name).c_str()) &&
            Same(record.ConnectionName, Path(L"MSVC host connection ").Add(number).c_str()) &&
            Same(record.DeviceDesc, Path(L"MSVC host adapter ").Add(number).c_str()) &&
            Same(record.MediaSubType, L"line"),
        "an adapter's record holds its GUID, connection name, device and medium");
  if (adapter.dhcpEnabled != 0) {
    const Path address = Path(L"").AddNarrow(adapter.addresses.address);
    const bool leased = address.length() != 0 && !Same(address.c_str(), L"0.0.0.0");
    Check(Same(record.DhcpEnabled, L"yes") && Same(record.IpAddressList, address.c_str()) &&
              Same(record.SubnetMask, leased ? L"255.255.255.0" : L"0.0.0.0") &&
              Same(record.GatewayList, Path(L"").AddNarrow(adapter.gateways.address).c_str()) &&
              Same(record.PrimaryDnsServer, L"10.9.8.3") &&
              Same(record.SecondaryDnsServer, L"10.9.8.4"),
          "a DHCP adapter's record holds its lease's address, mask and gateway and its DHCP name "
          "servers");
  } else {
    Check(Same(record.DhcpEnabled, L"no") && Same(record.IpAddressList, L"10.9.8.7") &&
              Same(record.SubnetMask, L"255.255.0.0") && Same(record.GatewayList, L"10.9.8.254") &&
              Same(record.PrimaryDnsServer, L"10.9.8.1") &&
              Same(record.SecondaryDnsServer, L"10.9.8.2") && Same(record.Metric, L"30"),
          "a static adapter's record holds its TCP/IP key's address, mask, gateway, name servers "
          "and metric");
  }
}

// Discovery of the adapters Wine lists, each described by the keys the host writes for it.
void Capture() {
  unsigned long size = sizeof(g_adapterList);
  const unsigned long listing = GetAdaptersInfo(g_adapterList, &size);
  CCommonFtn().InitStructure(&g_env, g_adapters);
  if (listing == 232) {  // ERROR_NO_DATA
    // Nothing to capture means nothing of discovery is checked: that must not pass.
    Say("        Wine's IP Helper lists no adapter on this machine; discovery cannot be checked\n");
    Check(CNetInfoRetrieve().IPRetrieve(&g_env, g_adapters) == 0 && g_env.AdapterCount == 0,
          "IPRetrieve answers 0 without adapters");
    Check(false, "GetAdaptersInfo lists Wine's adapters");
    return;
  }
  Check(listing == 0, "GetAdaptersInfo lists Wine's adapters");
  if (listing != 0) return;
  const ListedAdapter* const first = reinterpret_cast<const ListedAdapter*>(g_adapterList);
  int count = 0;
  for (const ListedAdapter* adapter = first; adapter != nullptr; adapter = adapter->next) ++count;
  if (count > NEBRIN_ADAPTER_RECORDS) {
    Say("        Wine lists ");
    SayNumber(count);
    Say(" adapters, more than a profile has records; discovery cannot be checked\n");
    Check(false, "Wine lists no more adapters than a profile has records");
    return;
  }

  bool written = true;
  int number = 1;
  for (const ListedAdapter* adapter = first; adapter != nullptr; adapter = adapter->next) {
    written = WriteAdapterKeys(*adapter, number++) && written;
  }
  Check(written, "the host writes the keys of every adapter Wine lists");

  const int captured = CNetInfoRetrieve().IPRetrieve(&g_env, g_adapters);
  Say("        Wine lists ");
  SayNumber(count);
  Say(" adapter(s); IPRetrieve answered ");
  SayNumber(captured);
  Say(" and kept ");
  SayNumber(g_env.AdapterCount);
  Say("\n");
  Check(captured == 1 && count > 0 && g_env.AdapterCount == count,
        "IPRetrieve answers 1 and keeps every adapter Wine lists");
  if (g_env.AdapterCount == count) {
    number = 1;
    for (const ListedAdapter* adapter = first; adapter != nullptr; adapter = adapter->next) {
      CheckRecord(*adapter, number++);
    }
  }

  Check(RemoveAdapterKeys(), "the host removes the keys it wrote");
}

void Store() {
  CNetInfoManage manage;
  CNetInfoRetrieve retrieve;
  manage.DeleteNebrinKey();  // a store left by another test; the result tells nothing here

  CCommonFtn().InitStructure(&g_env, g_adapters);
  Put(g_env.ProfileName, L"MSVC host \u00e9t\u00e9");
  g_env.IconIndex = 3;
  g_env.AdapterCount = 1;
  AdapterInfoStr& adapter = g_adapters[0];
  Put(adapter.DhcpEnabled, L"no");
  Put(adapter.IpAddressList, L"10.1.2.3");
  Put(adapter.SubnetMask, L"255.255.0.0");
  Put(adapter.GatewayList, L"10.1.0.1");
  Put(adapter.Metric, L"20");
  Put(adapter.ConnectionName, L"Host LAN");
  Put(adapter.DeviceDesc, L"Host adapter");
  Put(adapter.MediaSubType, L"line");
  Put(adapter.AdapterName, L"{00000000-1111-2222-3333-444444444444}");

  Check(manage.SaveProfileInfoToRegistry(&g_env, g_adapters, 1) == 1,
        "SaveProfileInfoToRegistry stores a new profile");
  const int number = g_env.nProfileKey;
  Check(number == 0, "SaveProfileInfoToRegistry gives the first profile number 0");
  const Path profileKey = Path(kStoreRoot).Add(L"\\").Add(number);
  Check(ValueIs(kCurrentUser, profileKey, L"ProfileName", L"MSVC host \u00e9t\u00e9"),
        "the registry holds the profile's name");
  Check(ValueIs(kCurrentUser, Path(profileKey.c_str()).Add(L"\\0"), L"IpAddressList", L"10.1.2.3"),
        "the registry holds the adapter's address");
  Check(ValueIs(kCurrentUser, Path(kStoreRoot), L"ProfileCount", L"1"),
        "the registry's ProfileCount names the next number");

  Check(retrieve.GetProfileCount() == 1, "GetProfileCount counts the stored profile");
  Fill(g_names, 0, sizeof(g_names));
  Check(retrieve.GetNameIndexInfo(g_names, 4) == 1, "GetNameIndexInfo answers 1");
  Check(g_names[0].nProfileKey == number && g_names[0].IconIndex == 3 &&
            Same(g_names[0].ProfileName, L"MSVC host \u00e9t\u00e9"),
        "GetNameIndexInfo lists the profile's number, icon and name");

  CCommonFtn().InitStructure(&g_loaded, g_loadedAdapters);
  Check(retrieve.GetInfoFromRegistry(number, &g_loaded, g_loadedAdapters) == 1,
        "GetInfoFromRegistry loads the profile");
  Check(Same(g_loaded.ProfileName, g_env.ProfileName) && g_loaded.AdapterCount == 1 &&
            g_loaded.IconIndex == 3 && g_loaded.nProfileKey == number,
        "the loaded profile record matches the stored one");
  Check(Same(g_loadedAdapters[0].IpAddressList, L"10.1.2.3") &&
            Same(g_loadedAdapters[0].SubnetMask, L"255.255.0.0") &&
            Same(g_loadedAdapters[0].Metric, L"20") &&
            Same(g_loadedAdapters[0].AdapterName, adapter.AdapterName),
        "the loaded adapter record matches the stored one");

  Check(manage.DeleteSelectProfile(number) == 1, "DeleteSelectProfile removes the profile");
  Check(!KeyExists(kCurrentUser, profileKey), "the profile's key is gone from the registry");
}

void Constants() {
  wchar_t text[] = L"x";
  Check(CCommonFtn().CheckOSVersion() == 1, "CheckOSVersion answers 1");
  Check(CWLanControl().GetMaxRSSIValue(text) == 1, "GetMaxRSSIValue answers 1");
  Check(CICSManage().ICSInstallAndUninstall(7, nullptr, nullptr) == 1,
        "ICSInstallAndUninstall answers 1");
}

}  // namespace

extern "C" int HostMain() {
  Constructors();
  Assignments();
  AssignmentsByName();
  Records();
  Capture();
  Store();
  Constants();
  UseEveryMember();  // constructs one object of each class and takes every member's address
  Say(g_failures == 0 ? "all checks passed\n" : "some checks failed\n");
  ExitProcess(static_cast<unsigned int>(g_failures));
}
