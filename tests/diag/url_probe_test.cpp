// The URL probe: through libcurl against a loopback server, and on the simulated machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "NebrinCoreDll.h"
#include "diag/loopback_http_server.h"
#include "nebrin/platform_install.h"
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

}  // namespace
