#include "platform/sim/sim_device_io.h"

#include <algorithm>
#include <new>

#include "platform/sim/companion_driver.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::kInvalidHandle;
using platform::kInvalidParameter;
using platform::kSuccess;

constexpr std::u16string_view kControlDevice = u"\\\\.\\ORLPD";
constexpr std::string_view kDriverService = "ORLPD";
constexpr std::u16string_view kBindingPrefix = u"\\DEVICE\\";
constexpr std::uint32_t kIoctlOpenDevice = 0x0012C800;
constexpr std::uint32_t kIoctlBindWait = 0x0012C810;
constexpr std::uint32_t kIoctlSetOid = 0x0012C814;
constexpr std::uint32_t kIeee80211 = 71;  // IF_TYPE_IEEE80211

bool Reached(std::uint32_t now, std::uint32_t tick) {
  return static_cast<std::int32_t>(now - tick) >= 0;
}

// The driver's device exists while its service runs (a start still pending counts once the
// virtual clock has passed its settling time).
bool DriverRuns(const Machine::State& machine) {
  for (const SimService& service : machine.services.services) {
    if (!SameName(Utf8ToUtf16(service.name), Utf8ToUtf16(kDriverService))) continue;
    if (service.state == platform::kStateRunning) return true;
    return service.state == platform::kStateStartPending && service.settlesAtTick &&
           Reached(machine.tickCount, *service.settlesAtTick);
  }
  return false;
}

const ListedAdapter* FindAdapter(const Machine::State& machine, std::u16string_view guid) {
  for (const ListedAdapter& adapter : machine.adapters) {
    if (SameName(Utf8ToUtf16(adapter.guid), guid)) return &adapter;
  }
  return nullptr;
}

}  // namespace

Status SimDeviceIo::OpenDevice(std::u16string_view path, platform::Disposition,
                               platform::DeviceHandle& device) {
  if (Status fault = machine_.accounting.Enter(Service::DeviceIo)) return fault;
  // The driver's device is the machine's only one; a device opens whatever the disposition.
  if (!SameName(path, kControlDevice) || !DriverRuns(machine_)) return platform::kFileNotFound;
  try {
    handles_.emplace(next_, Opened{});
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
  device = next_;
  next_ += 4;
  return kSuccess;
}

Status SimDeviceIo::Bind(Opened& opened, const std::vector<std::uint8_t>& input) {
  // One handle binds once, and one adapter to one handle at a time.
  if (!opened.adapter.empty()) return platform::kBusy;
  if (input.empty() || input.size() % 2 != 0) return kInvalidParameter;
  std::u16string name;
  for (std::size_t i = 0; i < input.size(); i += 2) {
    name.push_back(static_cast<char16_t>(input[i] | (input[i + 1] << 8)));
  }
  if (name.size() <= kBindingPrefix.size() ||
      !SameName(name.substr(0, kBindingPrefix.size()), kBindingPrefix)) {
    return kNoSuchAdapter;
  }
  const ListedAdapter* adapter = FindAdapter(machine_, name.substr(kBindingPrefix.size()));
  if (adapter == nullptr) return kNoSuchAdapter;
  for (const auto& [handle, other] : handles_) {
    if (other.adapter == adapter->guid) return platform::kBusy;
  }
  opened.adapter = adapter->guid;
  return kSuccess;
}

Status SimDeviceIo::Answer(Opened& opened, std::uint32_t code,
                           const std::vector<std::uint8_t>& input) {
  switch (code) {
    case kIoctlBindWait:
      return kSuccess;  // the driver binds to the adapters as it starts
    case kIoctlOpenDevice:
      return Bind(opened, input);
    case kIoctlSetOid: {
      if (opened.adapter.empty()) return platform::kDeviceNotConnected;
      const ListedAdapter* adapter = FindAdapter(machine_, Utf8ToUtf16(opened.adapter));
      if (adapter == nullptr) return kNoSuchAdapter;  // gone since the bind
      const bool wireless = adapter->type == kIeee80211;
      auto found = machine_.wireless.find(adapter->guid);
      SimWirelessAdapter state =
          found == machine_.wireless.end() ? SimWirelessAdapter{} : found->second;
      const Status answer = ApplySetRequest(input, wireless, state);
      if (answer != kSuccess) return answer;
      if (found != machine_.wireless.end()) {
        found->second = std::move(state);
      } else {
        machine_.wireless.emplace(adapter->guid, std::move(state));
      }
      return kSuccess;
    }
    default:
      return platform::kInvalidFunction;
  }
}

Status SimDeviceIo::Control(platform::DeviceHandle device, std::uint32_t code,
                            const std::vector<std::uint8_t>& input) {
  if (Status fault = machine_.accounting.Enter(Service::DeviceIo)) return fault;
  auto found = handles_.find(device);
  if (found == handles_.end()) return kInvalidHandle;
  try {
    // Everything that needs memory comes before the request changes anything: the record and
    // room for it, and (inside Answer) the adapter's new state before it replaces the old.
    DriverRequest request{found->second.adapter, code, input, 0};
    machine_.driver.requests.reserve(machine_.driver.requests.size() + 1);
    const Status answer = Answer(found->second, code, input);
    request.error = answer;
    machine_.driver.requests.push_back(std::move(request));
    return answer;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimDeviceIo::CloseDevice(platform::DeviceHandle device) {
  const Status fault = machine_.accounting.Enter(Service::DeviceIo);
  // A failed close still releases the handle, as CloseHandle does for a valid one.
  const bool known = handles_.erase(device) != 0;
  if (fault != kSuccess) return fault;
  return known ? kSuccess : kInvalidHandle;
}

}  // namespace nebrin::sim
