// The simulated service manager and shell when an allocation fails: each call, with each of its
// allocations failing in turn, either runs to its end or answers out of memory having changed
// nothing (the machine, its handles and the call's outputs). The product's service is then
// registered exactly when the member that registers it says so.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/service_handle.h"
#include "platform/sim/machine.h"
#include "support/failing_allocation.h"

namespace nebrin::testing {
namespace {

using namespace nebrin::platform;
using sim::Machine;

constexpr ServiceHandle kUntouchedHandle = 0x77;
constexpr std::uint32_t kUntouchedSize = 0xAAAA;

// A fresh demo machine with a manager handle of all access open, and what it held before the
// call under test.
class Attempt {
 public:
  Attempt() : machine_(Machine::Demo()), manager_(machine_->serviceManager()) {
    EXPECT_EQ(services().OpenManager(u"", kScManagerAllAccess, manager_.receive()), kSuccess);
    before_ = machine_->ToJsonText();
    handles_ = machine_->OpenHandles();
    opened_ = machine_->ServiceHandlesOpened().size();
  }

  ServiceManager& services() { return machine_->serviceManager(); }
  Shell& shell() { return machine_->shell(); }
  ServiceHandle manager() const { return manager_.get(); }

  // Runs `call` with the n-th allocation failing; `fired` says whether the call reached it.
  template <class Call>
  auto WithAllocationFailing(std::uint64_t n, bool& fired, Call call) {
    FailingAllocation failing(n);
    auto answer = call();
    fired = failing.fired();
    return answer;
  }

  void ExpectUnchanged() {
    EXPECT_EQ(machine_->ToJsonText(), before_);
    EXPECT_EQ(machine_->OpenHandles(), handles_);
    EXPECT_EQ(machine_->ServiceHandlesOpened().size(), opened_);
  }

 private:
  std::shared_ptr<Machine> machine_;
  UniqueServiceHandle manager_;
  std::string before_;
  std::size_t handles_ = 0;
  std::size_t opened_ = 0;
};

// Tries `attempt(n)` for n = 1, 2, ... while the n-th allocation is reached.
template <class Try>
void EachAllocationFailing(Try attempt) {
  for (std::uint64_t n = 1; n < 100000; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " failing");
    if (!attempt(n)) return;
  }
  ADD_FAILURE() << "the call did not come to an end";
}

TEST(SimOutOfMemory, ServiceManagerCallsAnswerErrorNotEnoughMemory) {
  // Each call hands back a handle: on failure none, and nothing recorded or left open.
  struct HandleCall {
    const char* name;
    Status (*call)(ServiceManager&, ServiceHandle manager, ServiceHandle& handle);
  };
  const std::vector<HandleCall> handleCalls = {
      {"OpenManager",
       [](ServiceManager& s, ServiceHandle, ServiceHandle& h) {
         return s.OpenManager(u"ServicesActive", kScManagerAllAccess, h);
       }},
      {"Open", [](ServiceManager& s, ServiceHandle m,
                  ServiceHandle& h) { return s.Open(m, u"WZCSVC", kServiceAllAccess, h); }},
      {"Create",
       [](ServiceManager& s, ServiceHandle m, ServiceHandle& h) {
         ServiceRegistration r;
         r.serviceName = u"NebrinWLANService";
         r.displayName = u"Nebrin WLAN Service";
         r.desiredAccess = kScManagerAllAccess;
         r.serviceType = kServiceWin32OwnProcess;
         r.startType = kServiceAutoStart;
         r.errorControl = kServiceErrorNormal;
         r.binaryPath = u"C:\\svc.exe";
         return s.Create(m, r, h);
       }},
  };
  for (const HandleCall& c : handleCalls) {
    SCOPED_TRACE(c.name);
    EachAllocationFailing([&](std::uint64_t n) {
      Attempt a;
      ServiceHandle handle = kUntouchedHandle;
      bool fired = false;
      const Status status = a.WithAllocationFailing(
          n, fired, [&] { return c.call(a.services(), a.manager(), handle); });
      if (!fired) {
        EXPECT_EQ(status, kSuccess);
        a.services().CloseHandle(handle);
        return false;
      }
      EXPECT_EQ(status, kNotEnoughMemory);
      EXPECT_EQ(handle, kUntouchedHandle);
      a.ExpectUnchanged();
      return true;
    });
  }

  // The enumeration fills the entries and the size only when it answers.
  for (const std::uint32_t buffer : {0u, 100u, 1000u}) {
    SCOPED_TRACE(buffer);
    EachAllocationFailing([&](std::uint64_t n) {
      Attempt a;
      std::vector<ServiceEntry> entries(1);
      entries[0].serviceName = u"untouched";
      std::uint32_t needed = kUntouchedSize;
      bool fired = false;
      const Status status = a.WithAllocationFailing(n, fired, [&] {
        return buffer == 0
                   ? a.services().QueryServicesSize(a.manager(), kServiceWin32, kStateAll, needed)
                   : a.services().EnumerateServices(a.manager(), kServiceWin32, kStateAll, buffer,
                                                    entries, needed);
      });
      if (!fired) {
        EXPECT_TRUE(status == kSuccess || status == kMoreData) << status;
        return false;
      }
      EXPECT_EQ(status, kNotEnoughMemory);
      EXPECT_TRUE(entries.size() == 1 && entries[0].serviceName == u"untouched");
      EXPECT_EQ(needed, kUntouchedSize);
      a.ExpectUnchanged();
      return true;
    });
  }
}

TEST(SimOutOfMemory, ShellPathsLeaveThePathAsItWas) {
  EachAllocationFailing([](std::uint64_t n) {
    Attempt a;
    std::u16string path = u"untouched";
    bool fired = false;
    const HResult result = a.WithAllocationFailing(n, fired, [&] {
      return a.shell().FolderPath(kCsidlProgramFiles, kFolderPathCurrent, path);
    });
    if (!fired) {
      EXPECT_EQ(result, kSOk);
      EXPECT_EQ(path, u"C:\\Program Files");
      return false;
    }
    EXPECT_EQ(result, kEOutOfMemory);
    EXPECT_EQ(path, u"untouched");
    return true;
  });
  EachAllocationFailing([](std::uint64_t n) {
    Attempt a;
    std::u16string path = u"C:\\Program Files";
    bool fired = false;
    const bool joined =
        a.WithAllocationFailing(n, fired, [&] { return a.shell().AppendPath(path, u"corvane"); });
    if (!fired) {
      EXPECT_TRUE(joined);
      EXPECT_EQ(path, u"C:\\Program Files\\corvane");
      return false;
    }
    EXPECT_FALSE(joined);
    EXPECT_EQ(path, u"C:\\Program Files");
    return true;
  });
}

TEST(SimOutOfMemory, InstallAnswersOneExactlyWhenTheServiceIsRegistered) {
  std::u16string path = u"C:\\Program Files\\Nebrin\\NebrinSvc.exe";
  EachAllocationFailing([&](std::uint64_t n) {
    auto machine = Machine::Demo();
    InstallPlatform(machine);
    int result = 0;
    bool fired = false;
    {
      FailingAllocation failing(n);
      result = CWLanControl().InstallWLANService(reinterpret_cast<NebrinChar*>(path.data()));
      fired = failing.fired();
    }
    InstallPlatform(nullptr);
    bool registered = false;
    for (const auto& service : machine->service_table().services) {
      registered = registered || service.name == "NebrinWLANService";
    }
    EXPECT_EQ(registered, result == 1) << "result " << result;
    EXPECT_EQ(machine->OpenHandles(), 0u);
    if (!fired) {
      EXPECT_EQ(result, 1);
    }
    return fired;
  });
}

}  // namespace
}  // namespace nebrin::testing
