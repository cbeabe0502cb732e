// The echo test on Linux's own raw sockets: loopback answers, and a loopback whose echo replies
// are switched off inside a network namespace made for the test does not, even though the raw
// socket sees the request itself come back. Needs root or CAP_NET_RAW (and CAP_SYS_ADMIN for
// the namespace); skipped with a message otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"

namespace {

int Ping(int count, const std::string& host) {
  std::u16string text(host.begin(), host.end());
  return CNetDiag().Ping(count, reinterpret_cast<NebrinChar*>(text.data()));
}

bool CanOpenRawIcmp() {
  const int s = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (s < 0) return false;
  ::close(s);
  return true;
}

class PingNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    nebrin::InstallPlatform(nullptr);  // Linux's own services
    if (!CanOpenRawIcmp()) GTEST_SKIP() << "raw ICMP sockets need root or CAP_NET_RAW";
  }
};

TEST_F(PingNetwork, LoopbackAnswers) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Ping(2, "127.0.0.1"), 1);
  // Three answered attempts, each followed by its one-second pause.
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(2900));
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(PingNetwork, WithoutRawSocketRightsTheResultIsZero) {
  // A child process that gives up its capabilities runs the same echo test.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setuid(65534) != 0 && getuid() == 0) _exit(2);  // nobody
    _exit(Ping(0, "127.0.0.1") == 0 && !CanOpenRawIcmp() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "could not drop privileges";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A network namespace with its loopback up and echo replies off, removed at the end.
class SilentNamespace {
 public:
  SilentNamespace() : name_("nebrin-silent-" + std::to_string(getpid())) {
    ok_ = Run("ip netns add " + name_) &&
          Run("ip netns exec " + name_ + " ip link set lo up") &&
          Run("ip netns exec " + name_ + " sysctl -q -w net.ipv4.icmp_echo_ignore_all=1");
  }
  ~SilentNamespace() { Run("ip netns delete " + name_ + " 2>/dev/null"); }
  bool ok() const { return ok_; }
  std::string path() const { return "/var/run/netns/" + name_; }

 private:
  static bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }
  std::string name_;
  bool ok_ = false;
};

TEST_F(PingNetwork, SilentHostInANamespaceFails) {
  SilentNamespace space;
  if (!space.ok()) GTEST_SKIP() << "network namespaces are not allowed here (ip netns add failed)";
  int result = -1;
  bool entered = false;
  // The echo test runs on a thread that has joined the namespace; nothing leaves it.
  std::thread inside([&] {
    const int fd = ::open(space.path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    entered = ::setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    if (entered) result = Ping(5, "127.0.0.1");
  });
  inside.join();
  if (!entered) GTEST_SKIP() << "could not enter the namespace (setns)";
  // The raw socket sees each request come back on the loopback; only a reply may count.
  EXPECT_EQ(result, 0);
}

}  // namespace
