// HRESULT_FROM_WIN32 as the system's macro computes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/hresult.h"

namespace nebrin::platform {
namespace {

TEST(HResultFromWin32, PositiveErrorsBecomeWin32FailuresOthersPassUnchanged) {
  struct Case {
    std::uint32_t given;
    std::uint32_t expected;
  };
  const std::vector<Case> cases = {
      {0, 0},                      // success
      {5, 0x80070005u},            // ERROR_ACCESS_DENIED
      {1060, 0x80070424u},         // ERROR_SERVICE_DOES_NOT_EXIST
      {0x00012345u, 0x80072345u},  // only the low word of a positive value is kept
      {0x7FFFFFFFu, 0x8007FFFFu},  // the largest positive value
      {0x80004005u, 0x80004005u},  // E_FAIL: already an HRESULT
      {0x8007000Eu, 0x8007000Eu},  // E_OUTOFMEMORY
      {0x80000000u, 0x80000000u},  // the high bit alone
      {0xFFFFFFFFu, 0xFFFFFFFFu},  // -1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(HResultFromWin32(c.given), static_cast<HResult>(c.expected));
  }
}

}  // namespace
}  // namespace nebrin::platform
