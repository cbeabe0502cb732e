// Machines and helpers of the wireless tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NebrinCoreDll.h"
#include "platform/sim/machine.h"

namespace nebrin::testing {

inline constexpr std::uint32_t kStopped = 1;
inline constexpr std::uint32_t kStartPending = 2;
inline constexpr std::uint32_t kStopPending = 3;
inline constexpr std::uint32_t kRunning = 4;

// The demo machine's wireless adapter.
inline constexpr const char* kWirelessGuid = "{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}";
// Where the demo machine keeps the ad hoc tool.
inline constexpr const char* kToolPath = "C:\\Program Files\\corvane\\Nebrin\\Tamsel.exe";

// The service of that name in the machine's table, if there is one (exact name).
inline sim::SimService* FindService(sim::Machine& machine, const std::string& name) {
  for (auto& service : machine.service_table().services) {
    if (service.name == name) return &service;
  }
  return nullptr;
}

// Puts a service of the table in a state, or removes it (no state).
inline void SetService(sim::Machine& machine, const std::string& name,
                       std::optional<std::uint32_t> state) {
  auto& services = machine.service_table().services;
  for (auto it = services.begin(); it != services.end(); ++it) {
    if (it->name != name) continue;
    if (!state) {
      services.erase(it);
      return;
    }
    it->state = *state;
    it->settlesAtTick.reset();
    if (*state == kStartPending || *state == kStopPending) {
      it->settlesAtTick = machine.tick_count() + 1000;
    }
    return;
  }
}

// The product's wireless service, registered as the installer would.
inline sim::SimService ProductService(std::string path, std::uint32_t state = kStopped) {
  sim::SimService service;
  service.name = "NebrinWLANService";
  service.displayName = "Nebrin WLAN Service";
  service.type = 0x10;
  service.startType = 2;
  service.binaryPath = std::move(path);
  service.state = state;
  return service;
}

// The text of a UTF-16 parameter as the members take it.
inline NebrinChar* Param(std::u16string& text) {
  return reinterpret_cast<NebrinChar*>(text.data());
}

}  // namespace nebrin::testing
