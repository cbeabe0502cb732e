// The profile store on Wine's registry with several processes: writers started at once, a writer
// killed after each of its registry writes, a holder of the store's mutex that ends without
// releasing it, and a name of the session's objects taken by an event.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "registry_fixture.h"
#include "store_records.h"

namespace nebrin::win32_test {
namespace {

const wchar_t kStoreMutex[] = L"Local\\Corvane.Nebrin.ProfileStore";

LONG DeleteUserTree(const std::wstring& path) { return DeleteTree(HKEY_CURRENT_USER, path); }

std::wstring WriterPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  return dir + L"store_writer.exe";
}

// Starts the writer program with `arguments`; its standard output goes to `output` when given.
HANDLE StartWriter(const std::wstring& arguments, HANDLE output = nullptr) {
  std::wstring command = L"\"" + WriterPath() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION process{};
  // Starting many processes at once on a loaded machine can fail for a moment under Wine; the
  // writer itself is what the tests judge, so a start is tried a few times.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                       nullptr, &startup, &process)) {
      break;
    }
    if (attempt == 4) {
      std::fprintf(stderr, "store_writer could not be started: error %lu\n", GetLastError());
      return nullptr;
    }
    Sleep(200);
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

DWORD Finish(HANDLE process) {
  DWORD code = 0xFFFF;
  if (process == nullptr) return code;
  WaitForSingleObject(process, 120000);
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// Runs the writer to its end; its exit code and what it printed.
DWORD RunWriter(const std::wstring& arguments, std::string& printed) {
  printed.clear();
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return 0xFFFF;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  HANDLE process = StartWriter(arguments, write);
  CloseHandle(write);
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    printed.append(buffer, got);
  CloseHandle(read);
  return Finish(process);
}

bool Same(const StoreRecords& a, const StoreRecords& b) {
  return std::memcmp(&a.env, &b.env, sizeof(a.env)) == 0 &&
         std::memcmp(a.adapters, b.adapters, sizeof(a.adapters)) == 0;
}

// Loads into records zeroed first, so that two loads compare byte for byte.
int Load(int number, StoreRecords& r) {
  std::memset(&r, 0, sizeof(r));
  CCommonFtn().InitStructure(&r.env, r.adapters);
  return CNetInfoRetrieve().GetInfoFromRegistry(number, &r.env, r.adapters);
}

std::vector<NameIndex> Catalogue() {
  CNetInfoRetrieve retrieve;
  std::vector<NameIndex> entries(static_cast<std::size_t>(retrieve.GetProfileCount()));
  if (!entries.empty() &&
      retrieve.GetNameIndexInfo(entries.data(), static_cast<int>(entries.size())) != 1) {
    entries.clear();
  }
  return entries;
}

class StoreProcessesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(DeleteUserTree(L"Software\\Corvane\\Nebrin"), ERROR_SUCCESS); }
  void TearDown() override { DeleteUserTree(L"Software\\Corvane\\Nebrin"); }
};

// A holder of the store's mutex that ends without releasing it leaves it abandoned: the next
// writer takes it over. A name of the session's objects held by an event makes every writer give
// up before writing.
TEST_F(StoreProcessesTest, AbandonedMutexIsTakenOverAndAForeignObjectRefused) {
  ASSERT_EQ(Finish(StartWriter(L"abandon")), 0u);
  StoreRecords r = MakeRecords(L"After", 0);
  EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1), 1);

  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, kStoreMutex);
  ASSERT_NE(event, nullptr);
  StoreRecords other = MakeRecords(L"Refused", 0);
  EXPECT_EQ(CNetInfoManage().SaveProfileInfoToRegistry(&other.env, other.adapters, 1), 0);
  EXPECT_EQ(CNetInfoManage().DeleteSelectProfile(r.env.nProfileKey), 0);
  CloseHandle(event);
  EXPECT_EQ(Catalogue().size(), 1u);
}

// Sixteen writers save at once, ten times over: each profile a writer reports is listed and
// loads, and a save afterwards works. Writers of an older kind, without the mutex, saving beside
// them may make any save lose its number, but never hide a profile or jam the store.
TEST_F(StoreProcessesTest, ConcurrentSavesKeepEveryReportedProfile) {
  struct Mix {
    const char* name;
    int unguarded;  // of the 16
  };
  for (const Mix& mix : {Mix{"all with the mutex", 0}, Mix{"half without", 8}}) {
    int reported = 0;
    int kept = 0;
    int failedLater = 0;
    for (int trial = 0; trial < 10; ++trial) {
      ASSERT_EQ(DeleteUserTree(L"Software\\Corvane\\Nebrin"), ERROR_SUCCESS);
      std::vector<HANDLE> writers;
      for (int i = 0; i < 16; ++i) {
        const std::wstring name = L"T" + std::to_wstring(trial) + L"-" + std::to_wstring(i);
        writers.push_back(StartWriter((i < mix.unguarded ? L"unguarded " : L"save ") + name));
      }
      std::map<int, std::wstring> saved;
      for (int i = 0; i < 16; ++i) {
        const DWORD code = Finish(writers[static_cast<std::size_t>(i)]);
        if (code >= 100 && code < 200) {
          saved[static_cast<int>(code) - 100] =
              L"T" + std::to_wstring(trial) + L"-" + std::to_wstring(i);
        } else if (mix.unguarded == 0) {
          ADD_FAILURE() << mix.name << ": a save failed, code " << code;
        } else {
          // Beside writers without the mutex any save may lose its number (the key it made was
          // already there) and answer 0; nothing else may happen to it.
          EXPECT_EQ(code, 1u) << mix.name << ": writer " << i << " ended with code " << code;
        }
      }
      reported += static_cast<int>(saved.size());
      const std::vector<NameIndex> listed = Catalogue();
      for (const auto& [number, name] : saved) {
        bool found = false;
        for (const NameIndex& e : listed)
          found = found || (e.nProfileKey == number && name == e.ProfileName);
        StoreRecords r;
        if (found && Load(number, r) == 1) ++kept;
      }
      StoreRecords later = MakeRecords(L"Later", 0);
      if (CNetInfoManage().SaveProfileInfoToRegistry(&later.env, later.adapters, 1) != 1)
        ++failedLater;
    }
    EXPECT_EQ(kept, reported) << mix.name;
    EXPECT_EQ(failedLater, 0) << mix.name;
    if (mix.unguarded == 0) EXPECT_EQ(reported, 160) << mix.name;
    std::printf("concurrent saves (%s): 160 started, %d reported, %d kept, %d later saves failed\n",
                mix.name, reported, kept, failedLater);
  }
}

// A save, a rewrite and a deletion killed after each of their registry writes: the profiles
// stored before load as before, every profile listed by name loads, the names stay taken and a
// new save works and is listed.
TEST_F(StoreProcessesTest, WritersKilledAfterEachWriteLeaveAStoreThatServes) {
  struct Op {
    const char* name;
    std::wstring arguments;
    int changing;  // the profile it changes or deletes, or -1
  };
  const Op ops[] = {
      {"save", L"kill save", -1},
      {"rewrite", L"kill rewrite 1", 1},
      {"delete", L"kill delete 1", 1},
  };
  // Profiles 0 "Office", 1 "Home" (a sharing host), 2 "Cafe" (a client), as loaded before.
  auto seed = [] {
    DeleteUserTree(L"Software\\Corvane\\Nebrin");
    const wchar_t* names[] = {L"Office", L"Home", L"Cafe"};
    for (int i = 0; i < 3; ++i) {
      StoreRecords r = MakeRecords(names[i], i);
      if (CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1) != 1) return false;
    }
    return CNetInfoManage().SetLastProfileNo(0) == 1;
  };
  ASSERT_TRUE(seed());
  std::map<int, StoreRecords> before;
  for (int n = 0; n < 3; ++n) ASSERT_EQ(Load(n, before[n]), 1);

  int kills = 0;
  int damaged = 0;
  for (const Op& op : ops) {
    ASSERT_TRUE(seed());
    std::string printed;
    ASSERT_EQ(RunWriter(op.arguments + L" 1000000", printed), 0u) << op.name;
    unsigned long writes = 0;
    ASSERT_EQ(std::sscanf(printed.c_str(), "writes %lu", &writes), 1) << printed;
    ASSERT_GT(writes, 0u) << op.name;
    for (unsigned long k = 1; k < writes; ++k) {
      ASSERT_TRUE(seed());
      ASSERT_EQ(RunWriter(op.arguments + L" " + std::to_wstring(k), printed), 86u)
          << op.name << " " << k;
      ++kills;
      std::vector<std::string> damage;
      for (const auto& [number, stored] : before) {
        StoreRecords now;
        if (number == op.changing) continue;
        if (Load(number, now) != 1 || !Same(now, stored))
          damage.push_back("profile " + std::to_string(number) + " changed");
      }
      for (const NameIndex& e : Catalogue()) {
        StoreRecords r;
        const bool marked = e.ProfileName[0] == 0 && e.IconIndex == -1;
        if (!marked && Load(e.nProfileKey, r) != 1)
          damage.push_back("profile " + std::to_string(e.nProfileKey) + " listed but unloadable");
      }
      NebrinChar office[] = L"Office";
      if (CNetInfoRetrieve().CanUseThisName(office) != 0) damage.push_back("a stored name is free");
      StoreRecords current;
      if (CNetInfoRetrieve().GetCurrentProfileInfo(&current.env, current.adapters) != 1)
        damage.push_back("the profile applied last does not load");
      StoreRecords next = MakeRecords(L"Next", 0);
      if (CNetInfoManage().SaveProfileInfoToRegistry(&next.env, next.adapters, 1) != 1) {
        damage.push_back("a new save fails");
      } else {
        bool listed = false;
        for (const NameIndex& e : Catalogue())
          listed = listed || e.nProfileKey == next.env.nProfileKey;
        if (!listed) damage.push_back("the new profile is not listed");
      }
      if (!damage.empty()) ++damaged;
      for (const std::string& d : damage)
        ADD_FAILURE() << op.name << " killed after write " << k << ": " << d;
    }
  }
  std::printf("writers killed: %d kills, %d stores damaged\n", kills, damaged);
  EXPECT_EQ(damaged, 0);
}

}  // namespace
}  // namespace nebrin::win32_test
