#include "platform/sim/sim_com.h"

#include "platform/sim/machine_state.h"

namespace nebrin::sim {

namespace {
constexpr platform::HResult kTooLate = static_cast<platform::HResult>(0x80010119u);  // RPC_E_TOO_LATE
constexpr platform::HResult kNotInitialized =
    static_cast<platform::HResult>(0x800401F0u);  // CO_E_NOTINITIALIZED
}  // namespace

// The reference is taken only once the object is in the table.
platform::ComRef ComObjectTable::Add(std::shared_ptr<SimComObject> object) {
  refs_.emplace(next_, std::move(object));
  return next_++;
}

bool ComObjectTable::Release(platform::ComRef ref) { return refs_.erase(ref) != 0; }

platform::HResult SimCom::Initialize() {
  if (Status fault = machine_.accounting.Enter(Service::Com)) {
    return platform::HResultFromWin32(fault);
  }
  if (machine_.com.threadInMultithreadedApartment) return platform::kChangedMode;
  return machine_.com.apartmentDepth++ == 0 ? platform::kSOk : platform::kSFalse;
}

void SimCom::Uninitialize() {
  machine_.accounting.Enter(Service::Com);  // counted; CoUninitialize cannot fail
  if (machine_.com.apartmentDepth == 0) {
    ++machine_.com.misuses;
    return;
  }
  --machine_.com.apartmentDepth;
}

// Security is set once per process; later calls answer RPC_E_TOO_LATE, as Windows does. It needs
// COM on the thread: an apartment of its own or the multithreaded apartment the thread is in.
platform::HResult SimCom::InitializeSecurity() {
  if (Status fault = machine_.accounting.Enter(Service::Com)) {
    return platform::HResultFromWin32(fault);
  }
  if (machine_.com.apartmentDepth == 0 && !machine_.com.threadInMultithreadedApartment) {
    return kNotInitialized;
  }
  if (machine_.com.securityInitialized) return kTooLate;
  machine_.com.securityInitialized = true;
  return platform::kSOk;
}

void SimCom::Release(platform::ComRef object) {
  machine_.accounting.Enter(Service::Com);  // counted; Release cannot fail
  if (!machine_.com.objects.Release(object)) ++machine_.com.misuses;
}

}  // namespace nebrin::sim
