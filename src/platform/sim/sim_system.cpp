#include "platform/sim/sim_system.h"

#include <new>

#include "platform/native/iconv_text.h"
#include "platform/sim/machine_state.h"

namespace nebrin::sim {

Status SimSystemInfo::GetVersion(platform::OsVersion& version) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::SystemInfo)) return fault;
    version = machine_.system.version;
    return platform::kSuccess;
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

int SimSystemInfo::GetSystemMetric(int index) {
  // GetSystemMetrics has no error of its own: a failing call answers 0.
  if (machine_.accounting.Enter(Service::SystemInfo) != platform::kSuccess) return 0;
  if (index == platform::kMetricTabletPc) return machine_.system.tabletPc ? 1 : 0;
  return 0;
}

// GetACP and GetOEMCP cannot fail: the calls are counted and a planned failure is spent on them.
std::uint32_t SimSystemInfo::AnsiCodePage() {
  machine_.accounting.Enter(Service::SystemInfo);
  return machine_.system.ansiCodePage;
}

std::uint32_t SimSystemInfo::OemCodePage() {
  machine_.accounting.Enter(Service::SystemInfo);
  return machine_.system.oemCodePage;
}

std::uint32_t SimSystemInfo::CurrentProcessId() {
  machine_.accounting.Enter(Service::SystemInfo);
  return machine_.system.processId;
}

namespace {

std::uint32_t PageNumber(const SystemState& system, platform::CodePage page) {
  return page == platform::CodePage::Oem ? system.oemCodePage : system.ansiCodePage;
}

}  // namespace

Status SimTextCodec::ToWide(platform::CodePage page, std::string_view text, std::u16string& wide) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::TextCodec)) return fault;
    return platform::native::BytesToWide(PageNumber(machine_.system, page), text, wide);
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

Status SimTextCodec::ToNarrow(platform::CodePage page, std::u16string_view wide,
                              std::string& text) {
  try {
    if (Status fault = machine_.accounting.Enter(Service::TextCodec)) return fault;
    return platform::native::WideToBytes(PageNumber(machine_.system, page), wide, text);
  } catch (const std::bad_alloc&) {
    return platform::kNotEnoughMemory;
  }
}

}  // namespace nebrin::sim
