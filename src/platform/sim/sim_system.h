// System information and code-page conversion of the simulated machine.
#pragma once

#include "platform/sim/machine.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace nebrin::sim {

class SimSystemInfo final : public platform::SystemInfo {
 public:
  explicit SimSystemInfo(Machine::State& machine) : machine_(machine) {}

  Status GetVersion(platform::OsVersion& version) override;
  int GetSystemMetric(int index) override;
  std::uint32_t AnsiCodePage() override;
  std::uint32_t OemCodePage() override;
  std::uint32_t CurrentProcessId() override;

 private:
  Machine::State& machine_;
};

class SimTextCodec final : public platform::TextCodec {
 public:
  explicit SimTextCodec(Machine::State& machine) : machine_(machine) {}

  Status ToWide(platform::CodePage page, std::string_view text, std::u16string& wide) override;
  Status ToNarrow(platform::CodePage page, std::u16string_view wide, std::string& text) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
