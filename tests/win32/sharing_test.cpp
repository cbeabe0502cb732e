// Connection sharing, the firewall switch and the connection checks on Wine's real COM. Wine has
// no sharing manager registered, so the members that need it stop where it cannot be created;
// what must hold is that they leave the calling thread's COM exactly as they found it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <thread>

#include "NebrinCoreDll.h"

namespace {

// Runs `body` on a thread of its own, so the COM state a test gives its thread cannot leak into
// the tests after it.
template <typename Body>
void OnOwnThread(Body body) {
  std::thread thread(body);
  thread.join();
}

// A thread in the multithreaded apartment: CoInitialize fails there with RPC_E_CHANGED_MODE, and
// an uninitialisation by the library would end the host's own apartment.
TEST(SharingComTest, ConnectionChecksLeaveTheHostsApartmentAlone) {
  OnOwnThread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EnvInfoStr env{};
    AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS]{};
    lstrcpyW(adapters[0].AdapterName, L"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}");
    CNetDiag diag;
    EXPECT_EQ(diag.CheckOutCableConnection(&env, adapters, 0), 0);
    EXPECT_EQ(diag.CheckOutHWEnableDisable(&env, adapters, 0), 0);
    // Still the host's apartment: joining it again answers S_FALSE, not a fresh S_OK.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
  });
}

}  // namespace
