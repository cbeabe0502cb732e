// The simulated session's named mutexes answer as Windows' do (tests/win32 checks the same of the
// system): a holder takes its mutex again and releases each taking, a thread that does not hold it
// cannot release it, a name another kind of object holds is refused, and the holders the store's
// tests place (another process, one that died) answer a wait as theirs would.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

using namespace nebrin::platform;

TEST(SimMutexesTest, TakingAgainReleasingRefusalsAndOtherHolders) {
  auto machine = std::make_shared<Machine>();
  Mutexes& mutexes = machine->mutexes();
  MutexHandle mutex = kNoMutex;
  ASSERT_EQ(kSuccess, mutexes.Create(u"Local\\M", mutex));
  EXPECT_EQ(kNotOwner, mutexes.Release(mutex));
  Status error = kSuccess;
  EXPECT_EQ(kWaitObject0, mutexes.Wait(mutex, 0, error));
  EXPECT_EQ(kWaitObject0, mutexes.Wait(mutex, 0, error));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  EXPECT_EQ(kNotOwner, mutexes.Release(mutex));
  mutexes.Close(mutex);
  EXPECT_EQ(kWaitFailed, mutexes.Wait(mutex, 0, error)) << "a closed handle";
  EXPECT_EQ(kInvalidHandle, error);

  machine->mutex_state().refusals["Local\\E"] = NamedObjectRefusal::OtherKind;
  machine->mutex_state().refusals["Local\\D"] = NamedObjectRefusal::AccessDenied;
  EXPECT_EQ(kInvalidHandle, mutexes.Create(u"Local\\E", mutex));
  EXPECT_EQ(kAccessDenied, mutexes.Create(u"Local\\D", mutex));
  EXPECT_EQ(kSuccess, mutexes.Create(u"local\\e", mutex)) << "names are case-sensitive";
  mutexes.Close(mutex);
  // A mutex that grants only waiting and releasing is opened with those rights.
  machine->mutex_state().refusals["Local\\W"] = NamedObjectRefusal::FullAccessDenied;
  ASSERT_EQ(kSuccess, mutexes.Create(u"Local\\W", mutex));
  EXPECT_EQ(kWaitObject0, mutexes.Wait(mutex, 0, error));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  mutexes.Close(mutex);

  machine->mutex_state().mutexes["Local\\M"].holder = MutexHolder::OtherProcess;
  ASSERT_EQ(kSuccess, mutexes.Create(u"Local\\M", mutex));
  const std::uint32_t before = machine->tick_count();
  EXPECT_EQ(kWaitTimeout, mutexes.Wait(mutex, 1500, error));
  EXPECT_EQ(machine->tick_count() - before, 1500u);
  machine->mutex_state().mutexes["Local\\M"].holder = MutexHolder::Abandoned;
  EXPECT_EQ(kWaitAbandoned, mutexes.Wait(mutex, 1500, error));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  EXPECT_EQ(machine->mutex_state().mutexes["Local\\M"].holder, MutexHolder::None);
  mutexes.Close(mutex);
  EXPECT_EQ(machine->OpenHandles(), 0u);
}

}  // namespace
}  // namespace nebrin::sim
