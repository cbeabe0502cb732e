// A store writer in a process of its own, for the tests that run several at once or kill one
// part-way. It links the library's code, so that it can put a counting registry in front of the
// system's and end itself hard after a chosen write: no destructor, no taking back runs, as when
// a process is killed there.
//
//   store_writer save NAME          a new profile; exit code 100 + its number, or 1
//   store_writer unguarded NAME     the same as an older program would: without the store's mutex
//   store_writer kill OP K          OP (save, rewrite N, delete N) ended hard after registry write
//                                   K (exit code 86); one that ends first prints "writes W", exit 0
//   store_writer abandon            takes the store's mutex and ends without releasing it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "platform/platform.h"
#include "store_records.h"

namespace {

using nebrin::platform::Access;
using nebrin::platform::KeyHandle;
using nebrin::platform::RegType;
using nebrin::platform::Status;

constexpr int kKilled = 86;

// The system's registry; every call that changes it is counted, and after write `stopAfter` the
// process ends at once.
class KillingRegistry final : public nebrin::platform::Registry {
 public:
  KillingRegistry(Registry& inner, unsigned long stopAfter)
      : inner_(inner), stopAfter_(stopAfter) {}
  unsigned long writes = 0;

  Status OpenKey(KeyHandle parent, const std::u16string& path, Access access,
                 KeyHandle& key) override {
    return inner_.OpenKey(parent, path, access, key);
  }
  Status CreateKey(KeyHandle parent, const std::u16string& path, Access access, KeyHandle& key,
                   bool& created) override {
    const Status status = inner_.CreateKey(parent, path, access, key, created);
    if (status == 0 && created) Written();
    return status;
  }
  void CloseKey(KeyHandle key) override { inner_.CloseKey(key); }
  Status QueryValue(KeyHandle key, const std::u16string& name, RegType& type, void* data,
                    std::uint32_t& size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  Status SetValue(KeyHandle key, const std::u16string& name, RegType type, const void* data,
                  std::uint32_t size) override {
    return Counted(inner_.SetValue(key, name, type, data, size));
  }
  Status DeleteValue(KeyHandle key, const std::u16string& name) override {
    return Counted(inner_.DeleteValue(key, name));
  }
  Status DeleteKey(KeyHandle parent, const std::u16string& subkey) override {
    return Counted(inner_.DeleteKey(parent, subkey));
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::u16string& name) override {
    return inner_.EnumKey(key, index, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::u16string& name) override {
    return inner_.EnumValue(key, index, name);
  }

 private:
  Status Counted(Status status) {
    if (status == 0) Written();
    return status;
  }
  void Written() {
    if (++writes == stopAfter_) TerminateProcess(GetCurrentProcess(), kKilled);
  }

  Registry& inner_;
  unsigned long stopAfter_;
};

// An older program's store: no mutex is ever waited for.
class NoMutexes final : public nebrin::platform::Mutexes {
 public:
  Status Create(const std::u16string&, nebrin::platform::MutexHandle& mutex) override {
    mutex = 1;
    return 0;
  }
  std::uint32_t Wait(nebrin::platform::MutexHandle, std::uint32_t, Status& error) override {
    error = 0;
    return nebrin::platform::kWaitObject0;
  }
  Status Release(nebrin::platform::MutexHandle) override { return 0; }
  void Close(nebrin::platform::MutexHandle) override {}
};

class WriterPlatform final : public nebrin::platform::ForwardingPlatform {
 public:
  WriterPlatform(std::shared_ptr<Platform> inner, unsigned long stopAfter, bool unguarded)
      : ForwardingPlatform(*inner),
        inner_(std::move(inner)),
        registry_(inner_->registry(), stopAfter),
        unguarded_(unguarded) {}
  nebrin::platform::Registry& registry() override { return registry_; }
  nebrin::platform::Mutexes& mutexes() override {
    return unguarded_ ? static_cast<nebrin::platform::Mutexes&>(none_) : inner_->mutexes();
  }
  unsigned long writes() const { return registry_.writes; }

 private:
  std::shared_ptr<Platform> inner_;
  KillingRegistry registry_;
  NoMutexes none_;
  bool unguarded_;
};

int Save(const wchar_t* name) {
  nebrin::win32_test::StoreRecords r = nebrin::win32_test::MakeRecords(name, 1);
  if (CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1) != 1) return 1;
  return 100 + r.env.nProfileKey;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring mode = argv[1];
  if (mode == L"abandon") {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Corvane.Nebrin.ProfileStore");
    if (mutex == nullptr || WaitForSingleObject(mutex, 10000) != WAIT_OBJECT_0) return 1;
    TerminateProcess(GetCurrentProcess(), 0);
  }
  const bool unguarded = mode == L"unguarded";
  const unsigned long stopAfter =
      mode == L"kill" && argc >= 4 ? std::wcstoul(argv[argc - 1], nullptr, 10) : 0;
  auto platform = std::make_shared<WriterPlatform>(nebrin::platform::MakeDefaultPlatform(),
                                                   stopAfter, unguarded);
  nebrin::InstallPlatform(platform);
  if ((mode == L"save" || unguarded) && argc == 3) return Save(argv[2]);
  if (mode != L"kill" || argc < 4) return 2;
  const std::wstring op = argv[2];
  int result = 0;
  if (op == L"save") {
    nebrin::win32_test::StoreRecords r = nebrin::win32_test::MakeRecords(L"Killed", 1);
    result = CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 1);
  } else if (op == L"rewrite" && argc == 5) {
    const int number = std::wcstol(argv[3], nullptr, 10);
    nebrin::win32_test::StoreRecords r = nebrin::win32_test::EditedRecords(L"Edited", number);
    result = CNetInfoManage().SaveProfileInfoToRegistry(&r.env, r.adapters, 0);
  } else if (op == L"delete" && argc == 5) {
    result = CNetInfoManage().DeleteSelectProfile(std::wcstol(argv[3], nullptr, 10));
  } else {
    return 2;
  }
  std::printf("writes %lu result %d\n", platform->writes(), result);
  return 0;
}
