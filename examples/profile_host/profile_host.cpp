// profile_host: a small host of NebrinCoreDll.dll. It captures the machine's adapters, stores them
// as a new profile under the first free name of "Example 1", "Example 2", ..., lists the stored
// profiles and loads the new one back, checking each step. It prints one line per check; the exit
// status is the number of failed checks.
//
// It needs nothing but the library's header and two functions of kernel32, declared below as the
// Windows SDK declares them, so the same source builds with Microsoft's compiler, with clang for
// *-pc-windows-msvc and with mingw-w64, with or without a C runtime.
#include "NebrinCoreDll.h"

extern "C" {
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
}

namespace {

// ---- Output: plain ASCII lines on standard output ------------------------------------------

void Say(const char* text) {
  unsigned long length = 0;
  while (text[length] != 0) ++length;
  unsigned long written = 0;
  WriteFile(GetStdHandle(static_cast<unsigned long>(-11) /* STD_OUTPUT_HANDLE */), text, length,
            &written, nullptr);
}

// A record's text, characters outside ASCII shown as '?'.
void SayText(const NebrinChar* text, int capacity) {
  char line[256];
  int length = 0;
  for (; length < capacity && length < 255 && text[length] != 0; ++length) {
    line[length] = text[length] < 0x80 ? static_cast<char>(text[length]) : '?';
  }
  line[length] = 0;
  Say(line);
}

void SayNumber(int number) {
  char digits[16];
  int at = 15;
  digits[at] = 0;
  unsigned int rest = number < 0 ? 0u - static_cast<unsigned int>(number) : number;
  do {
    digits[--at] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (number < 0) digits[--at] = '-';
  Say(digits + at);
}

int g_failures = 0;

bool Check(bool passed, const char* what) {
  Say(passed ? "ok      " : "FAILED  ");
  Say(what);
  Say("\n");
  if (!passed) ++g_failures;
  return passed;
}

// ---- Record helpers --------------------------------------------------------------------------

template <int N>
bool Same(const NebrinChar (&a)[N], const NebrinChar (&b)[N]) {
  for (int i = 0; i < N; ++i) {
    if (a[i] != b[i]) return false;
    if (a[i] == 0) return true;
  }
  return true;
}

template <int N>
bool Is(const NebrinChar (&field)[N], const char* text) {
  for (int i = 0; i < N; ++i) {
    if (field[i] != static_cast<unsigned char>(text[i])) return false;
    if (text[i] == 0) return true;
  }
  return false;
}

// Writes "Example <number>" into a profile name field.
void NameExample(NebrinChar (&name)[50], int number) {
  const char prefix[] = "Example ";
  int at = 0;
  for (; prefix[at] != 0; ++at) name[at] = static_cast<NebrinChar>(prefix[at]);
  char digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  while (count > 0) name[at++] = static_cast<NebrinChar>(digits[--count]);
  name[at] = 0;
}

// The records live outside the stack: a profile with its ten adapters is over 14 KB.
EnvInfoStr g_profile;
AdapterInfoStr g_adapters[NEBRIN_ADAPTER_RECORDS];
EnvInfoStr g_loaded;
AdapterInfoStr g_loadedAdapters[NEBRIN_ADAPTER_RECORDS];
constexpr int kMostListed = 256;
NameIndex g_names[kMostListed];

// ---- The four steps --------------------------------------------------------------------------

bool Capture(CCommonFtn& common, CNetInfoRetrieve& retrieve) {
  // InitStructure empties every text but DhcpEnabled and MediaSubType, which the capture sets.
  common.InitStructure(&g_profile, g_adapters);
  if (!Check(retrieve.IPRetrieve(&g_profile, g_adapters) == 1,
             "IPRetrieve captures the machine's adapters")) {
    return false;
  }
  for (int i = 0; i < g_profile.AdapterCount; ++i) {
    const AdapterInfoStr& adapter = g_adapters[i];
    Say("        adapter ");
    SayNumber(i);
    Say(": ");
    SayText(adapter.ConnectionName, 50);
    Say(Is(adapter.DhcpEnabled, "yes") ? ", DHCP, " : ", static, ");
    SayText(adapter.IpAddressList, 50);
    Say(" ");
    SayText(adapter.AdapterName, 100);
    Say("\n");
  }
  return true;
}

bool Save(CNetInfoRetrieve& retrieve, CNetInfoManage& manage) {
  // The name checks take a writable buffer (the exported names have non-const text
  // parameters): the record's own field serves.
  int number = 1;
  for (NameExample(g_profile.ProfileName, number);
       number < 1000 && retrieve.CanUseThisName(g_profile.ProfileName) != 1;
       NameExample(g_profile.ProfileName, ++number)) {
  }
  if (!Check(number < 1000, "CanUseThisName finds a free name")) return false;
  g_profile.IconIndex = 1;
  if (!Check(manage.SaveProfileInfoToRegistry(&g_profile, g_adapters, 1) == 1,
             "SaveProfileInfoToRegistry stores the capture as a new profile")) {
    return false;
  }
  Say("        stored \"");
  SayText(g_profile.ProfileName, 50);
  Say("\" as profile ");
  SayNumber(g_profile.nProfileKey);
  Say("\n");
  return Check(g_profile.nProfileKey >= 0, "the new profile has its number");
}

void List(CNetInfoRetrieve& retrieve) {
  const int count = retrieve.GetProfileCount();
  if (!Check(count >= 1, "GetProfileCount counts the new profile")) return;
  // The list comes in ascending profile number and says nothing about its length: the array is
  // sized by GetProfileCount.
  const int listed = count < kMostListed ? count : kMostListed;
  if (!Check(retrieve.GetNameIndexInfo(g_names, listed) == 1, "GetNameIndexInfo lists them")) {
    return;
  }
  bool found = false;
  for (int i = 0; i < listed; ++i) {
    Say(g_names[i].nProfileKey == g_profile.nProfileKey ? "      * " : "        ");
    SayNumber(g_names[i].nProfileKey);
    Say("  ");
    SayText(g_names[i].ProfileName, 50);
    Say("\n");
    found = found || (g_names[i].nProfileKey == g_profile.nProfileKey &&
                      Same(g_names[i].ProfileName, g_profile.ProfileName));
  }
  Check(found || count > kMostListed, "the list holds the new profile's number and name");
}

void Load(CCommonFtn& common, CNetInfoRetrieve& retrieve) {
  common.InitStructure(&g_loaded, g_loadedAdapters);
  if (!Check(retrieve.GetInfoFromRegistry(g_profile.nProfileKey, &g_loaded, g_loadedAdapters) == 1,
             "GetInfoFromRegistry loads the new profile")) {
    return;
  }
  Check(Same(g_loaded.ProfileName, g_profile.ProfileName) &&
            g_loaded.IconIndex == g_profile.IconIndex &&
            g_loaded.nProfileKey == g_profile.nProfileKey &&
            g_loaded.AdapterCount == g_profile.AdapterCount,
        "the loaded profile has the stored name, icon, number and adapter count");
  // Loading refreshes a DHCP adapter from its current lease, so only a static adapter's
  // addresses are compared with the capture.
  bool same = true;
  for (int i = 0; i < g_profile.AdapterCount; ++i) {
    const AdapterInfoStr& stored = g_adapters[i];
    const AdapterInfoStr& loaded = g_loadedAdapters[i];
    same = same && Same(loaded.AdapterName, stored.AdapterName) &&
           Same(loaded.ConnectionName, stored.ConnectionName) &&
           Same(loaded.DhcpEnabled, stored.DhcpEnabled) &&
           Same(loaded.MediaSubType, stored.MediaSubType);
    if (Is(stored.DhcpEnabled, "no")) {
      same = same && Same(loaded.IpAddressList, stored.IpAddressList) &&
             Same(loaded.SubnetMask, stored.SubnetMask) &&
             Same(loaded.GatewayList, stored.GatewayList) && Same(loaded.Metric, stored.Metric);
    }
  }
  Check(same, "each loaded adapter is the captured one");
}

}  // namespace

int main() {
  CCommonFtn common;
  CNetInfoRetrieve retrieve;
  CNetInfoManage manage;
  if (Capture(common, retrieve) && Save(retrieve, manage)) {
    List(retrieve);
    Load(common, retrieve);
  }
  Say(g_failures == 0 ? "all checks passed\n" : "some checks failed\n");
  return g_failures;
}
