// The echo request packet and the echo test against the simulated network, where the virtual
// clock makes every one-second wait instant.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::sim::Machine;
using nebrin::sim::SimHost;
using Bytes = std::vector<std::uint8_t>;

std::uint16_t Checksum(Bytes bytes) {
  return CNetDiag().checksum(reinterpret_cast<std::uint16_t*>(bytes.data()),
                             static_cast<int>(bytes.size()));
}

std::u16string Wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

int Ping(int count, const std::string& host) {
  std::u16string text = Wide(host);
  return CNetDiag().Ping(count, reinterpret_cast<NebrinChar*>(text.data()));
}

class IcmpEcho : public nebrin::testing::SimTest {};

TEST(IcmpChecksum, FoldsCarriesAndAddsAnOddLastByteUnshifted) {
  EXPECT_EQ(Checksum({}), 0xFFFF);
  EXPECT_EQ(Checksum({0x01, 0x02, 0x03}), 0xFDFB);  // 0x0201 + 0x03
  // 0xFFFF + 0xFFFF + 0x01 = 0x1FFFF: the two folds give 0x10001, whose complement's low half
  // is 0xFFFE.
  EXPECT_EQ(Checksum({0xFF, 0xFF, 0xFF, 0xFF, 0x01}), 0xFFFE);
  EXPECT_EQ(Checksum({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}), 0x7FFF);
  EXPECT_EQ(CNetDiag().checksum(nullptr, 44), 0xFFFF) << "no buffer: an empty one";
}

TEST_F(IcmpEcho, FillWritesTheHeaderAndDataAndLeavesTheTimestamp) {
  machine().system_state().processId = 0x12345A74;  // the identifier keeps the low 16 bits
  Bytes packet(48, 0xCC);
  CNetDiag().fill_icmp_data(reinterpret_cast<char*>(packet.data()), 44);
  Bytes expected = {0x08, 0x00, 0x00, 0x00, 0x74, 0x5A, 0x00, 0x00, 0xCC, 0xCC, 0xCC, 0xCC};
  expected.resize(44, 0x45);
  expected.resize(48, 0xCC);  // nothing past the size
  EXPECT_EQ(packet, expected);

  Bytes tiny(6, 0xCC);
  CNetDiag().fill_icmp_data(reinterpret_cast<char*>(tiny.data()), 5);
  EXPECT_EQ(tiny, (Bytes{0x08, 0x00, 0x00, 0x00, 0x74, 0xCC}));
}

TEST_F(IcmpEcho, AFilledPacketWithItsChecksumStoredSumsToZero) {
  Bytes packet(44, 0);
  CNetDiag().fill_icmp_data(reinterpret_cast<char*>(packet.data()), 44);
  const std::uint32_t stamp = 0x89ABCDEF;
  std::memcpy(packet.data() + 8, &stamp, 4);
  const std::uint16_t sum = Checksum(packet);
  std::memcpy(packet.data() + 2, &sum, 2);
  EXPECT_EQ(Checksum(packet), 0);
}

TEST_F(IcmpEcho, RequestsOnTheWireCarryIdentifierSequenceTimestampAndChecksum) {
  machine().network().hosts = {SimHost{"192.168.1.1", {}, "+-"}};
  ASSERT_EQ(Ping(5, "192.168.1.1"), 1);
  const auto& sent = machine().EchoRequestsSent();
  ASSERT_EQ(sent.size(), 6u);
  Bytes first = {0x08, 0x00, 0x8F, 0xA0, 0x74, 0x0A, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x00};
  first.resize(44, 0x45);
  EXPECT_EQ(sent[0].message, first);
  EXPECT_EQ(sent[0].to, "192.168.1.1");
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const Bytes& m = sent[i].message;
    ASSERT_EQ(m.size(), 44u);
    EXPECT_EQ(m[6] | m[7] << 8, static_cast<int>(i)) << "sequence of request " << i;
    EXPECT_EQ(Checksum(m), 0) << "request " << i;
  }
  // An answered attempt pauses a second, a silent one waits out its second: 1 s apart.
  std::uint32_t second;
  std::memcpy(&second, sent[1].message.data() + 8, 4);
  EXPECT_EQ(second, 0x00A00000u + 1000u);
  EXPECT_EQ(machine().tick_count(), 0x00A00000u + 6000u);
}

// count + 1 attempts; four silent attempts fail the host.
TEST_F(IcmpEcho, CountTable) {
  struct Case {
    int count;
    std::string replies;
    int requests;
    int result;
  };
  const Case cases[] = {
      {5, "+", 6, 1},    {5, "+++---", 6, 1}, {5, "++----", 6, 0}, {5, "-", 6, 0},
      {0, "-", 1, 1},    {1, "-", 2, 1},      {2, "-", 3, 1},      {3, "-", 4, 0},
      {3, "+---", 4, 1}, {-1, "+", 0, 0},     {7, "+-", 8, 0},     {5, "~", 6, 0},
  };
  for (const Case& c : cases) {
    Use(std::make_shared<Machine>());
    machine().network().hosts = {SimHost{"10.0.0.1", {}, c.replies}};
    EXPECT_EQ(Ping(c.count, "10.0.0.1"), c.result) << c.count << " " << c.replies;
    EXPECT_EQ(machine().EchoRequestsSent().size(), static_cast<std::size_t>(c.requests))
        << c.count << " " << c.replies;
  }
}

TEST_F(IcmpEcho, OnlyTheMatchingReplyCounts) {
  // '~': within the second only another program's echo reply arrives; on loopback the request
  // itself comes back before the reply.
  machine().network().hosts = {SimHost{"10.0.0.7", {"printer.lan"}, "~"}};
  EXPECT_EQ(Ping(5, "printer.lan"), 0);
  EXPECT_EQ(machine().tick_count(), 0x00A00000u + 6000u) << "each attempt lasts its second";
  EXPECT_EQ(Ping(5, "127.0.0.1"), 1);
  EXPECT_EQ(Ping(5, "LOCALHOST"), 1);
}

// Sockets that answer the first receive after each request with `error`, as when an unrelated
// ICMP datagram larger than the buffer arrives (WSAEMSGSIZE) or a signal interrupts the wait.
class FirstReceiveFails final : public nebrin::platform::Sockets {
 public:
  FirstReceiveFails(Sockets& inner, nebrin::platform::Status error)
      : inner_(inner), error_(error) {}
  nebrin::platform::Status Startup(std::uint16_t v) override { return inner_.Startup(v); }
  void Cleanup() override { inner_.Cleanup(); }
  nebrin::platform::Status OpenRawIcmp(nebrin::platform::SocketHandle& s) override {
    return inner_.OpenRawIcmp(s);
  }
  void Close(nebrin::platform::SocketHandle s) override { inner_.Close(s); }
  nebrin::platform::Status SetReceiveTimeout(nebrin::platform::SocketHandle s,
                                             std::uint32_t ms) override {
    return inner_.SetReceiveTimeout(s, ms);
  }
  nebrin::platform::Status SetSendTimeout(nebrin::platform::SocketHandle s,
                                          std::uint32_t ms) override {
    return inner_.SetSendTimeout(s, ms);
  }
  nebrin::platform::Status ResolveHost(std::string_view n,
                                       nebrin::platform::HostEntry& e) override {
    return inner_.ResolveHost(n, e);
  }
  std::uint32_t ParseDottedAddress(std::string_view t) override {
    return inner_.ParseDottedAddress(t);
  }
  nebrin::platform::Status SendTo(nebrin::platform::SocketHandle s, const std::uint8_t* d,
                                  std::size_t n, const nebrin::platform::SocketAddress& to,
                                  std::size_t& sent) override {
    failNext_ = true;
    return inner_.SendTo(s, d, n, to, sent);
  }
  nebrin::platform::Status ReceiveFrom(nebrin::platform::SocketHandle s, std::uint8_t* b,
                                       std::size_t c, std::size_t& r,
                                       nebrin::platform::SocketAddress& from) override {
    if (failNext_) {
      failNext_ = false;
      return error_;
    }
    return inner_.ReceiveFrom(s, b, c, r, from);
  }

 private:
  Sockets& inner_;
  nebrin::platform::Status error_;
  bool failNext_ = false;
};

class WithSockets final : public nebrin::platform::ForwardingPlatform {
 public:
  WithSockets(std::shared_ptr<Machine> machine, nebrin::platform::Status error)
      : ForwardingPlatform(*machine),
        machine_(std::move(machine)),
        sockets_(machine_->sockets(), error) {}
  nebrin::platform::Sockets& sockets() override { return sockets_; }

 private:
  std::shared_ptr<Machine> machine_;
  FirstReceiveFails sockets_;
};

// An oversized datagram and an interrupted receive bring no reply: the attempt waits on for the
// reply within its second, and a silent host stays silent.
TEST(IcmpEchoErrors, OversizedDatagramsAndInterruptionsAreNoAnswer) {
  for (const nebrin::platform::Status error :
       {nebrin::platform::kWsaMessageSize, nebrin::platform::kWsaInterrupted}) {
    for (const char* replies : {"-", "+"}) {
      auto machine = std::make_shared<Machine>();
      machine->network().hosts = {SimHost{"10.0.0.1", {}, replies}};
      nebrin::InstallPlatform(std::make_shared<WithSockets>(machine, error));
      EXPECT_EQ(Ping(5, "10.0.0.1"), replies[0] == '+' ? 1 : 0) << error << " " << replies;
      EXPECT_EQ(machine->tick_count(), 0x00A00000u + 6000u) << error << " " << replies;
      nebrin::InstallPlatform(nullptr);
      EXPECT_EQ(machine->OpenHandles(), 0u);
    }
  }
}

TEST_F(IcmpEcho, NamesResolveAndUnresolvableTextSendsNothing) {
  machine().network().hosts = {SimHost{"192.168.1.1", {"router.home"}, "+"}};
  EXPECT_EQ(Ping(5, "Router.Home"), 1);
  EXPECT_EQ(machine().EchoRequestsSent().back().to, "192.168.1.1");
  const std::size_t before = machine().EchoRequestsSent().size();
  // An empty text would resolve to the local machine, which answers: it names no host.
  for (const char* host : {"no.such.host", "", "1.2.3.4.5", "300.1.1.1"}) {
    EXPECT_EQ(Ping(0, host), 0) << host;
  }
  EXPECT_EQ(machine().EchoRequestsSent().size(), before);
}

TEST_F(IcmpEcho, HostTextLongerThanTheBufferIsRefused) {
  const std::string fits = std::string(190, 'a') + ".x.home";  // 197 bytes
  // The 200-byte name resolves on this network, so only the refusal can stop it.
  machine().network().hosts = {
      SimHost{"192.168.1.9", {fits, std::string(199, 'b'), std::string(200, 'b')}, "+"}};
  EXPECT_EQ(Ping(0, fits), 1);
  EXPECT_EQ(Ping(0, std::string(199, 'b')), 1);
  EXPECT_EQ(Ping(0, std::string(200, 'b')), 0);
  EXPECT_EQ(machine().EchoRequestsSent().size(), 2u);
}

TEST_F(IcmpEcho, SetUpFailuresGiveZeroWithoutSending) {
  machine().network().hosts = {SimHost{"192.168.1.1", {}, "+"}};
  machine().system_state().administrator = false;  // raw sockets need the right
  EXPECT_EQ(Ping(0, "192.168.1.1"), 0);
  machine().system_state().administrator = true;
  machine().ResetCounts();
  machine().FailServiceCall(nebrin::sim::Service::Sockets, 1, 10091);  // WSASYSNOTREADY
  EXPECT_EQ(Ping(0, "192.168.1.1"), 0);
  EXPECT_TRUE(machine().EchoRequestsSent().empty());
  EXPECT_EQ(machine().OpenHandles(), 0u);
}

}  // namespace
