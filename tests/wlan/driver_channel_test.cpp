// The protocol-driver channel on simulated machines: opening a bound handle (starting the
// driver's service when it does not run), the bytes of every request as the driver receives
// them, and the 802.11 state the requests leave on the adapter.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/hresult.h"
#include "platform/platform.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;
using sim::Service;
using Bytes = std::vector<std::uint8_t>;

constexpr int kNotInstalled = static_cast<int>(0x80070424u);
constexpr int kDenied = static_cast<int>(0x80070005u);
constexpr int kInvalidArg = static_cast<int>(0x80070057u);
constexpr int kNotSupported = static_cast<int>(0x80070032u);  // a wired adapter
constexpr int kNoSuchAdapter = static_cast<int>(0x80070037u);
constexpr std::uint32_t kBindWait = 0x0012C810;
constexpr std::uint32_t kOpenDevice = 0x0012C800;
constexpr std::uint32_t kSetOid = 0x0012C814;
constexpr const char* kWiredGuid = "{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}";

Bytes Word(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

NebrinHandle InvalidHandle() { return reinterpret_cast<NebrinHandle>(~std::uintptr_t{0}); }

class DriverChannelTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
  void TearDown() override {
    Close();
    SimTest::TearDown();
  }

  // Opens a handle bound to the adapter (the host's part: it owns the handle afterwards).
  int Open(const std::string& guid = kWirelessGuid) {
    std::u16string name(guid.begin(), guid.end());
    return wlan_.OpenDevice(Param(name), handle_);
  }
  void Close() {
    if (handle_ != nullptr) {
      machine().deviceIo().CloseDevice(reinterpret_cast<platform::DeviceHandle>(handle_));
      handle_ = nullptr;
    }
  }
  const std::vector<sim::DriverRequest>& Requests() { return machine().driver_state().requests; }
  // The set requests' bytes, oldest first.
  std::vector<Bytes> SetRequests() {
    std::vector<Bytes> sent;
    for (const auto& r : Requests()) {
      if (r.code == kSetOid) sent.push_back(r.input);
    }
    return sent;
  }
  sim::SimWirelessAdapter& Wireless() { return machine().wireless_state()[kWirelessGuid]; }

  CWLanControl wlan_;
  NebrinHandle handle_ = nullptr;
};

TEST_F(DriverChannelTest, OpenStartsAStoppedDriverAndBindsTheHandle) {
  ASSERT_EQ(FindService(machine(), "ORLPD")->state, kStopped);
  machine().ResetCounts();
  ASSERT_EQ(Open(), 0);
  EXPECT_NE(handle_, nullptr);
  EXPECT_EQ(FindService(machine(), "ORLPD")->state, kRunning);
  // Open (not found), open again, bind-wait, bind.
  EXPECT_EQ(machine().CallCount(Service::DeviceIo), 4u);
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_EQ(Requests()[0].code, kBindWait);
  EXPECT_TRUE(Requests()[0].input.empty());
  EXPECT_EQ(Requests()[1].code, kOpenDevice);
  std::u16string binding = u"\\DEVICE\\" + std::u16string(kWirelessGuid, kWirelessGuid + 38);
  Bytes utf16;
  for (char16_t c : binding) {
    utf16.push_back(static_cast<std::uint8_t>(c));
    utf16.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  EXPECT_EQ(Requests()[1].input, utf16);  // UTF-16LE without terminator: 46 characters
  EXPECT_EQ(utf16.size(), 92u);

  // The handle reaches the adapter it is bound to.
  std::u16string ssid = u"Cafe";
  EXPECT_EQ(wlan_.SetSsid(handle_, Param(ssid)), 0);
  EXPECT_EQ(Requests().back().adapter, kWirelessGuid);
  EXPECT_EQ(Wireless().ssid, Text("Cafe"));

  // With the driver running one open is enough.
  Close();
  machine().ResetCounts();
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(machine().CallCount(Service::DeviceIo), 3u);
}

TEST_F(DriverChannelTest, OpenFailuresLeaveNoHandle) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> prepare;
    std::string adapter;
    int result;
  };
  const std::vector<Case> cases = {
      {"driver service missing", [](Machine& m) { SetService(m, "ORLPD", std::nullopt); },
       kWirelessGuid, kNotInstalled},
      {"first open refused", [](Machine& m) { m.FailServiceCall(Service::DeviceIo, 1, 5); },
       kWirelessGuid, kDenied},
      {"reopen after the start refused",
       [](Machine& m) { m.FailServiceCall(Service::DeviceIo, 2, 5); }, kWirelessGuid, kDenied},
      {"bind-wait refused", [](Machine& m) { m.FailServiceCall(Service::DeviceIo, 3, 5); },
       kWirelessGuid, kDenied},
      {"bind refused", [](Machine& m) { m.FailServiceCall(Service::DeviceIo, 4, 5); },
       kWirelessGuid, kDenied},
      {"adapter unknown to the driver", [](Machine&) {}, "{00000000-0000-0000-0000-000000000000}",
       kNoSuchAdapter},
      {"adapter name too long for the binding name", [](Machine&) {}, Repeat('x', 192),
       kInvalidArg},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    c.prepare(machine());
    const std::size_t services = machine().service_table().services.size();
    const NebrinHandle untouched = reinterpret_cast<NebrinHandle>(0x1234);
    handle_ = untouched;
    EXPECT_EQ(Open(c.adapter), c.result);
    EXPECT_EQ(handle_, untouched);
    handle_ = nullptr;
    EXPECT_EQ(machine().OpenHandles(), 0u);  // a handle opened before the failure is closed
    EXPECT_EQ(machine().service_table().services.size(), services);
  }
  // 191 characters still fit the binding name: the driver is asked, and knows no such adapter.
  Use(Machine::Demo());
  EXPECT_EQ(Open(Repeat('x', 191)), kNoSuchAdapter);
}

TEST_F(DriverChannelTest, RequestsGoOutByteForByte) {
  ASSERT_EQ(Open(), 0);
  std::u16string key = u"abcde";
  std::u16string ssid = u"Cafe";
  struct Case {
    const char* name;
    std::function<int()> send;
    int result;
    Bytes bytes;
  };
  const std::vector<Case> cases = {
      {"ad hoc mode", [&] { return wlan_.SetInfrastructureMode(handle_, Ndis802_11IBSS); }, 0,
       Concat({Word(0x0D010108), Word(0)})},
      {"infrastructure mode",
       [&] { return wlan_.SetInfrastructureMode(handle_, Ndis802_11Infrastructure); }, 0,
       Concat({Word(0x0D010108), Word(1)})},
      {"shared authentication",
       [&] { return wlan_.SetAuthenticationMode(handle_, Ndis802_11AuthModeShared); }, 0,
       Concat({Word(0x0D010118), Word(1)})},
      {"WEP disabled", [&] { return wlan_.SetWepStatus(handle_, Ndis802_11WEPDisabled); }, 0,
       Concat({Word(0x0D01011B), Word(1)})},
      {"key index 2, five characters: 21 bytes",
       [&] { return wlan_.AddWepKey(handle_, 2, Param(key)); }, 0,
       Concat({Word(0x0D010113), Word(17), Word(0x80000002), Word(5), Text("abcde")})},
      {"four-character SSID: 40 bytes", [&] { return wlan_.SetSsid(handle_, Param(ssid)); }, 0,
       Concat({Word(0x0D010102), Word(4), Text("Cafe"), Bytes(28, 0)})},
      // Not associated (no access point in reach in infrastructure mode): the driver's refusal
      // comes back as its error.
      {"disassociation, value word zero", [&] { return wlan_.Dissociate(handle_); },
       static_cast<int>(0x80070015u), Concat({Word(0x0D010115), Word(0)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t before = Requests().size();
    EXPECT_EQ(c.send(), c.result);
    ASSERT_EQ(Requests().size(), before + 1);
    EXPECT_EQ(Requests().back().code, kSetOid);
    EXPECT_EQ(Requests().back().input, c.bytes);
  }
  const sim::SimWirelessAdapter& state = Wireless();
  EXPECT_EQ(state.mode, sim::WirelessMode::Infrastructure);
  EXPECT_EQ(state.authentication, 1u);
  EXPECT_EQ(state.wepStatus, 1u);
  EXPECT_EQ(state.keys.at(2), Text("abcde"));
  EXPECT_EQ(state.transmitKey, 2u);
  EXPECT_EQ(state.ssid, Text("Cafe"));
  EXPECT_FALSE(state.associated);
}

TEST_F(DriverChannelTest, SsidsUpTo32BytesGoWholeLongerOnesAreRefusedUnsent) {
  ASSERT_EQ(Open(), 0);
  for (std::size_t length : {28u, 29u, 32u, 33u}) {
    SCOPED_TRACE(length);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + i % 26));
    std::u16string ssid(text.begin(), text.end());
    const std::size_t before = Requests().size();
    if (length > 32) {
      EXPECT_EQ(wlan_.SetSsid(handle_, Param(ssid)), kInvalidArg);
      EXPECT_EQ(Requests().size(), before);
      continue;
    }
    ASSERT_EQ(wlan_.SetSsid(handle_, Param(ssid)), 0);
    Bytes field = Text(text);
    field.resize(32, 0);
    EXPECT_EQ(Requests().back().input, Concat({Word(0x0D010102), Word(length), field}));
    EXPECT_EQ(Wireless().ssid, Text(text));
  }
  // An SSID counts in bytes of the ANSI code page: 16 two-byte characters are too many on the
  // Japanese page.
  machine().system_state().ansiCodePage = 932;
  std::u16string japanese(17, u'\u3042');
  EXPECT_EQ(wlan_.SetSsid(handle_, Param(japanese)), kInvalidArg);
  japanese.resize(16);
  EXPECT_EQ(wlan_.SetSsid(handle_, Param(japanese)), 0);
  EXPECT_EQ(Requests().back().input[4], 32);
}

TEST_F(DriverChannelTest, KeysOfUpTo99BytesAreSentAsTheirText) {
  ASSERT_EQ(Open(), 0);
  // Hexadecimal digits go out as their ASCII characters, not as the bytes they denote.
  std::u16string hex = u"0123456789";
  EXPECT_EQ(wlan_.AddWepKey(handle_, 1, Param(hex)), kInvalidArg);  // the driver takes 5, 13, 16
  EXPECT_EQ(Requests().back().input,
            Concat({Word(0x0D010113), Word(22), Word(0x80000001), Word(10), Text("0123456789")}));
  std::u16string longest(99, u'k');
  const std::size_t before = Requests().size();
  wlan_.AddWepKey(handle_, 0, Param(longest));
  ASSERT_EQ(Requests().size(), before + 1);
  EXPECT_EQ(Requests().back().input.size(), 115u);
  std::u16string tooLong(100, u'k');
  EXPECT_EQ(wlan_.AddWepKey(handle_, 0, Param(tooLong)), kInvalidArg);
  EXPECT_EQ(Requests().size(), before + 1);
  EXPECT_EQ(wlan_.AddWepKey(handle_, 0, nullptr), static_cast<int>(0x80004003u));
  EXPECT_EQ(Requests().size(), before + 1);
  std::u16string empty;
  EXPECT_EQ(wlan_.AddWepKey(handle_, 0, Param(empty)), kInvalidArg);
  EXPECT_EQ(Requests().size(), before + 1);
}

TEST_F(DriverChannelTest, InvalidHandleIsRefusedWithNothingSent) {
  std::u16string text = u"abcde";
  const NebrinHandle invalid = InvalidHandle();
  machine().ResetCounts();
  EXPECT_EQ(wlan_.SetInfrastructureMode(invalid, Ndis802_11IBSS), kInvalidArg);
  EXPECT_EQ(wlan_.SetAuthenticationMode(invalid, Ndis802_11AuthModeOpen), kInvalidArg);
  EXPECT_EQ(wlan_.SetWepStatus(invalid, Ndis802_11WEPEnabled), kInvalidArg);
  EXPECT_EQ(wlan_.AddWepKey(invalid, 0, Param(text)), kInvalidArg);
  EXPECT_EQ(wlan_.SetSsid(invalid, Param(text)), kInvalidArg);
  EXPECT_EQ(wlan_.Dissociate(invalid), kInvalidArg);
  EXPECT_EQ(wlan_.SwitchToAdHoc(invalid, Param(text), Param(text), 1), kInvalidArg);
  EXPECT_EQ(machine().CallCount(), 0u);
}

TEST_F(DriverChannelTest, SwitchToAdHocSetsTheSsidLast) {
  std::u16string ssid = u"Cafe";
  std::u16string key = u"12345";
  // Without WEP: mode, authentication, WEP disabled, SSID.
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(key), 0), 0);
  const Bytes ssidRecord = Concat({Word(0x0D010102), Word(4), Text("Cafe"), Bytes(28, 0)});
  EXPECT_EQ(SetRequests(), (std::vector<Bytes>{Concat({Word(0x0D010108), Word(0)}),
                                               Concat({Word(0x0D010118), Word(0)}),
                                               Concat({Word(0x0D01011B), Word(1)}), ssidRecord}));
  EXPECT_EQ(Wireless().wepStatus, 1u);
  EXPECT_TRUE(Wireless().keys.empty());

  // With WEP: WEP enabled and the key at index 0 as transmit key, before the SSID.
  machine().driver_state().requests.clear();
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(key), 1), 0);
  EXPECT_EQ(SetRequests(),
            (std::vector<Bytes>{
                Concat({Word(0x0D010108), Word(0)}), Concat({Word(0x0D010118), Word(0)}),
                Concat({Word(0x0D01011B), Word(0)}),
                Concat({Word(0x0D010113), Word(17), Word(0x80000000), Word(5), Text("12345")}),
                ssidRecord}));
  const sim::SimWirelessAdapter& state = Wireless();
  EXPECT_EQ(state.mode, sim::WirelessMode::AdHoc);
  EXPECT_EQ(state.authentication, 0u);
  EXPECT_EQ(state.wepStatus, 0u);
  EXPECT_EQ(state.keys.at(0), Text("12345"));
  EXPECT_EQ(state.transmitKey, 0u);
  EXPECT_EQ(state.ssid, Text("Cafe"));
  EXPECT_TRUE(state.associated);
}

TEST_F(DriverChannelTest, SwitchToAdHocStopsAtTheFirstRefusal) {
  std::u16string ssid = u"Cafe";
  std::u16string key = u"12345";
  // A text the requests would refuse is refused before anything is sent.
  std::u16string longSsid(33, u's');
  std::u16string longKey(100, u'k');
  std::u16string emptyKey;
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(longSsid), Param(key), 1), kInvalidArg);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(longKey), 1), kInvalidArg);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(emptyKey), 1), kInvalidArg);
  EXPECT_TRUE(SetRequests().empty());
  EXPECT_EQ(Wireless().mode, sim::WirelessMode::Infrastructure);
  // Without WEP the key is not looked at.
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(emptyKey), 0), 0);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), nullptr, 0), 0);
  Close();

  // A wired adapter refuses the first request; nothing follows it.
  machine().driver_state().requests.clear();
  ASSERT_EQ(Open(kWiredGuid), 0);
  EXPECT_EQ(wlan_.SwitchToAdHoc(handle_, Param(ssid), Param(key), 1), kNotSupported);
  ASSERT_EQ(SetRequests().size(), 1u);
  EXPECT_EQ(Requests().back().error, 50u);
  EXPECT_EQ(machine().wireless_state().count(kWiredGuid), 0u);
}

TEST_F(DriverChannelTest, ProbeStartsTheDriverOnce) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> prepare;
    int result;
    std::uint32_t stateAfter;
  };
  const std::vector<Case> cases = {
      {"stopped: started, 1", [](Machine&) {}, 1, kRunning},
      {"running", [](Machine& m) { SetService(m, "ORLPD", kRunning); }, 1, kRunning},
      {"start stays pending: the device is not there yet",
       [](Machine& m) { FindService(m, "ORLPD")->startMs = 500; }, 0, kStartPending},
      {"disabled", [](Machine& m) { FindService(m, "ORLPD")->startType = 4; }, 0, kStopped},
      {"open refused: nothing started",
       [](Machine& m) { m.FailServiceCall(Service::DeviceIo, 1, 5); }, 0, kStopped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Use(Machine::Demo());
    c.prepare(machine());
    EXPECT_EQ(wlan_.CheckPDDriverExist(), c.result);
    EXPECT_EQ(FindService(machine(), "ORLPD")->state, c.stateAfter);
    EXPECT_EQ(machine().OpenHandles(), 0u);
  }
  Use(Machine::Demo());
  SetService(machine(), "ORLPD", std::nullopt);
  EXPECT_EQ(wlan_.CheckPDDriverExist(), 0);
}

}  // namespace
}  // namespace nebrin::testing
