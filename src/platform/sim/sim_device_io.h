// The simulated machine's device I/O, with the companion protocol driver behind the ORLPD service
// as one of the machine's own components: its control device opens only while the service runs,
// a handle binds to one present adapter, and set requests change that adapter's 802.11 state.
// Every request that reaches the driver is recorded with its bytes and its answer.
#pragma once

#include <map>
#include <string>

#include "platform/device_io.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

// What the driver answers when a handle is bound to an adapter it does not know.
inline constexpr Status kNoSuchAdapter = 55;  // ERROR_DEV_NOT_EXIST

class SimDeviceIo final : public platform::DeviceIo {
 public:
  explicit SimDeviceIo(Machine::State& machine) : machine_(machine) {}

  Status OpenDevice(std::u16string_view path, platform::Disposition disposition,
                    platform::DeviceHandle& device) override;
  Status Control(platform::DeviceHandle device, std::uint32_t code,
                 const std::vector<std::uint8_t>& input) override;
  Status CloseDevice(platform::DeviceHandle device) override;

  // Device handles open and not yet closed.
  std::size_t OpenCount() const { return handles_.size(); }

 private:
  struct Opened {
    std::string adapter;  // the GUID it is bound to; "" while unbound
  };
  // The driver's answer to a request on `opened`; may change the adapters' 802.11 state.
  Status Answer(Opened& opened, std::uint32_t code, const std::vector<std::uint8_t>& input);
  Status Bind(Opened& opened, const std::vector<std::uint8_t>& input);

  Machine::State& machine_;
  std::map<platform::DeviceHandle, Opened> handles_;
  platform::DeviceHandle next_ = 0x7C0;
};

}  // namespace nebrin::sim
