// The URL probe: through libcurl against a loopback server, and on the simulated machine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "diag/loopback_http_server.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::sim::SimUrl;

int Probe(const std::string& url) {
  std::u16string text(url.begin(), url.end());
  return CNetDiag().CheckURLConnection(reinterpret_cast<NebrinChar*>(text.data()));
}

// Linux's own Internet client; loopback never goes through a proxy.
class UrlProbeNative : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    nebrin::InstallPlatform(nullptr);
  }
};

TEST_F(UrlProbeNative, AnsweringServerOpensWithTheAgent) {
  nebrin::testing::LoopbackHttpServer server;
  EXPECT_EQ(Probe(server.url("/status")), 3);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /status HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nUser-Agent: Nebrin 2.0\r\n"), std::string::npos) << requests[0];
}

// Opened once the final response's headers are in, as WinINet answers: a server that holds the
// body back does not keep the probe waiting, and a redirect is followed to the final response.
TEST_F(UrlProbeNative, OpenedOnceTheFinalHeadersAreIn) {
  using std::chrono::steady_clock;
  for (const std::string path : {"/held", "/redirect"}) {
    nebrin::testing::LoopbackHttpServer server(std::chrono::seconds(5));
    const auto start = steady_clock::now();
    EXPECT_EQ(Probe(server.url(path)), 3) << path;
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(3)) << path;
    if (path == "/redirect") {
      const auto requests = server.requests();
      ASSERT_EQ(requests.size(), 2u);
      EXPECT_EQ(requests[1].rfind("GET /page HTTP/1.1\r\n", 0), 0u) << requests[1];
    }
  }
}

TEST_F(UrlProbeNative, ClosedPortAndUnsupportedSchemesAreNotOpened) {
  const std::string port = std::to_string(nebrin::testing::ClosedLoopbackPort());
  EXPECT_EQ(Probe("http://127.0.0.1:" + port + "/"), 5);
  EXPECT_EQ(Probe("ftp://127.0.0.1:" + port + "/file"), 5);
  nebrin::testing::LoopbackHttpServer server;
  const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
  // Schemes WinINet does not open, even where a server answers.
  for (const std::string scheme : {"gopher", "dict", "telnet", "file", "nosuch"}) {
    EXPECT_EQ(Probe(scheme + "://" + hostPort + "/"), 5) << scheme;
  }
  EXPECT_EQ(Probe(""), 5);
  EXPECT_EQ(Probe("not a url"), 5);
  EXPECT_TRUE(server.requests().empty());
}

class UrlProbeSim : public nebrin::testing::SimTest {};

TEST_F(UrlProbeSim, ListedUrlsOpenAsConfigured) {
  machine().network().urls = {SimUrl{"http://www.example.com/", true},
                              SimUrl{"https://intranet.office/", false},
                              SimUrl{"gopher://old.example/", true}};
  EXPECT_EQ(Probe("http://www.example.com/"), 3);
  EXPECT_EQ(Probe("https://intranet.office/"), 5);
  EXPECT_EQ(Probe("gopher://old.example/"), 5);
  EXPECT_EQ(Probe("http://unlisted.example/"), 5);
  EXPECT_EQ(CNetDiag().CheckURLConnection(nullptr), 5);
  machine().ResetCounts();
  machine().FailServiceCall(nebrin::sim::Service::Internet, 1, 12001);  // out of handles
  EXPECT_EQ(Probe("http://www.example.com/"), 5);
}

// The URL handle is closed on its own, before the client handle it hangs from.
TEST_F(UrlProbeSim, UrlHandleIsClosedBeforeItsClient) {
  class Recording final : public nebrin::platform::InternetClient {
   public:
    explicit Recording(InternetClient& inner) : inner_(inner) {}
    nebrin::platform::Status Open(std::u16string_view agent, std::uint32_t type,
                                  nebrin::platform::InternetHandle& handle) override {
      const auto status = inner_.Open(agent, type, handle);
      client = handle;
      return status;
    }
    nebrin::platform::Status OpenUrl(nebrin::platform::InternetHandle c, std::u16string_view url,
                                     std::uint32_t flags,
                                     nebrin::platform::InternetHandle& handle) override {
      const auto status = inner_.OpenUrl(c, url, flags, handle);
      this->url = handle;
      return status;
    }
    void Close(nebrin::platform::InternetHandle handle) override {
      closed.push_back(handle);
      inner_.Close(handle);
    }
    nebrin::platform::InternetHandle client = 0, url = 0;
    std::vector<nebrin::platform::InternetHandle> closed;

   private:
    InternetClient& inner_;
  };
  class WithRecording final : public nebrin::platform::ForwardingPlatform {
   public:
    explicit WithRecording(nebrin::sim::Machine& m)
        : ForwardingPlatform(m), recording(m.internet()) {}
    nebrin::platform::InternetClient& internet() override { return recording; }
    Recording recording;
  };
  machine().network().urls = {SimUrl{"http://www.example.com/", true}};
  auto platform = std::make_shared<WithRecording>(machine());
  nebrin::InstallPlatform(platform);
  EXPECT_EQ(Probe("http://www.example.com/"), 3);
  const std::vector<nebrin::platform::InternetHandle> order = {platform->recording.url,
                                                               platform->recording.client};
  EXPECT_EQ(platform->recording.closed, order);
  nebrin::InstallPlatform(nullptr);
}

}  // namespace
