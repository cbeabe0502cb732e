#include "support/sim_fixture.h"

#include <cstring>

#include "nebrin/platform_install.h"

namespace nebrin::testing {

void SimTest::SetUp() { Use(std::make_shared<sim::Machine>()); }

void SimTest::TearDown() {
  EXPECT_EQ(machine_->OpenHandles(), 0u) << "handles left open";
  EXPECT_EQ(machine_->ComMisuses(), 0u) << "COM uninitialised or released without a match";
  EXPECT_EQ(machine_->WinsockMisuses(), 0u) << "Winsock ended without a matching start";
  for (const auto& [name, mutex] : machine_->mutex_state().mutexes)
    EXPECT_NE(mutex.holder, sim::MutexHolder::Host) << "mutex " << name << " left held";
  InstallPlatform(nullptr);
}

void SimTest::Use(std::shared_ptr<sim::Machine> machine) {
  machine_ = std::move(machine);
  InstallPlatform(machine_);
}

void Poison(Profile& profile, unsigned char marker) {
  std::memset(&profile.env, marker, sizeof(profile.env));
  std::memset(profile.adapters, marker, sizeof(profile.adapters));
}

}  // namespace nebrin::testing
