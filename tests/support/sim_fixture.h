// A test fixture that installs a fresh simulated machine for each test and removes it after.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "NebrinCoreDll.h"
#include "platform/sim/machine.h"

namespace nebrin::testing {

// A profile record with its ten adapter records, as a host keeps them.
struct Profile {
  EnvInfoStr env{};
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
};

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the installed machine.
  void Use(std::shared_ptr<sim::Machine> machine);

  sim::Machine& machine() { return *machine_; }

 private:
  std::shared_ptr<sim::Machine> machine_;
};

// UTF-8 of a record field or parameter text, for readable assertions.
template <std::size_t N>
std::string Text(const NebrinChar (&field)[N]) {
  std::string out;
  for (std::size_t i = 0; i < N && field[i] != 0; ++i) {
    const char16_t c = static_cast<char16_t>(field[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
  }
  return out;
}

// Fills every byte of a profile with a marker, so tests can see which fields an operation wrote.
void Poison(Profile& profile, unsigned char marker = 0x5A);

// Sets a field from ASCII text (for building records in tests).
template <std::size_t N>
void Put(NebrinChar (&field)[N], const std::string& ascii) {
  std::size_t i = 0;
  for (; i < ascii.size() && i + 1 < N; ++i) field[i] = static_cast<NebrinChar>(ascii[i]);
  field[i] = 0;
}

}  // namespace nebrin::testing
