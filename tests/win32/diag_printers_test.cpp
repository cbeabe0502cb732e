// Diagnostics and printers on a real Win32 implementation: the echo test through Winsock's raw
// ICMP socket, the URL probe through WinINet against a loopback server the test runs, and the
// printer count from the spooler.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <string>
#include <thread>

#include "NebrinCoreDll.h"

namespace {

// Winsock started for the test's own sockets.
class WinsockForTest {
 public:
  WinsockForTest() { WSAStartup(MAKEWORD(2, 2), &data_); }
  ~WinsockForTest() { WSACleanup(); }

 private:
  WSADATA data_{};
};

// An HTTP server on 127.0.0.1 that answers each connection with a short page and remembers the
// last request.
class LoopbackHttpServer {
 public:
  LoopbackHttpServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    closesocket(listener_);
    thread_.join();
  }
  std::wstring url() const { return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/"; }
  int served() const { return served_; }

 private:
  void Serve() {
    for (;;) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char chunk[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, chunk, sizeof(chunk), 0);
        if (n <= 0) break;
        request.append(chunk, n);
      }
      // Counted before the answer leaves: the probe may return as soon as it has read it.
      ++served_;
      const std::string response =
          "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
      send(client, response.data(), static_cast<int>(response.size()), 0);
      closesocket(client);
    }
  }

  WinsockForTest winsock_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<int> served_{0};
};

bool CanOpenRawIcmp() {
  WinsockForTest winsock;
  SOCKET s = WSASocketW(AF_INET, SOCK_RAW, IPPROTO_ICMP, nullptr, 0, WSA_FLAG_OVERLAPPED);
  if (s == INVALID_SOCKET) return false;
  closesocket(s);
  return true;
}

TEST(DiagTest, PingAnswersOnLoopback) {
  if (!CanOpenRawIcmp()) GTEST_SKIP() << "Wine could not open a raw ICMP socket here";
  wchar_t host[] = L"127.0.0.1";
  const DWORD start = GetTickCount();
  EXPECT_EQ(CNetDiag().Ping(1, host), 1);
  EXPECT_GE(GetTickCount() - start, 1900u);  // two answered attempts, a second's pause each
  wchar_t nowhere[] = L"300.1.1.1";
  EXPECT_EQ(CNetDiag().Ping(0, nowhere), 0);
}

// Winsock resolves an empty name to the local machine, which answers; an empty host (an adapter
// without gateway) must still not pass the echo test.
TEST(DiagTest, PingRefusesAnEmptyHost) {
  if (!CanOpenRawIcmp()) GTEST_SKIP() << "Wine could not open a raw ICMP socket here";
  {
    WinsockForTest winsock;
    RecordProperty("empty name resolves", gethostbyname("") != nullptr ? "yes" : "no");
  }
  wchar_t empty[] = L"";
  const DWORD start = GetTickCount();
  EXPECT_EQ(CNetDiag().Ping(1, empty), 0);
  EXPECT_LT(GetTickCount() - start, 900u) << "nothing is sent, so nothing is waited for";
}

TEST(DiagTest, UrlProbeThroughWinInet) {
  LoopbackHttpServer server;
  std::wstring url = server.url();
  EXPECT_EQ(CNetDiag().CheckURLConnection(url.data()), 3);
  EXPECT_EQ(server.served(), 1);

  // A port nothing listens on.
  WinsockForTest winsock;
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(probe);
  std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/";
  EXPECT_EQ(CNetDiag().CheckURLConnection(closed.data()), 5);
  wchar_t scheme[] = L"nosuch://127.0.0.1/";
  EXPECT_EQ(CNetDiag().CheckURLConnection(scheme), 5);
}

TEST(PrintersTest, CountMatchesTheSpooler) {
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed,
                &returned);
  std::string block(needed + 4, '\0');
  ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2,
                            reinterpret_cast<BYTE*>(block.data()), needed + 4, &needed,
                            &returned));
  CNetInfoRetrieve retrieve;
  EXPECT_EQ(retrieve.GetTotalPrtCount(), static_cast<int>(returned));
  if (returned == 0) {
    PrinterInfostr printers[2]{};
    int count = 2;
    EXPECT_EQ(retrieve.GetTotoalPrinterInfo(count, printers), 0);
    EXPECT_EQ(count, 0);
  }
}

// The library reaches the default-printer query by ordinal 203 of WINSPOOL.DRV.
TEST(PrintersTest, Ordinal203IsTheDefaultPrinterQuery) {
  HMODULE spooler = LoadLibraryW(L"WINSPOOL.DRV");
  ASSERT_NE(spooler, nullptr);
  using Query = BOOL(WINAPI*)(LPWSTR, LPDWORD);
  auto byOrdinal = reinterpret_cast<Query>(
      reinterpret_cast<void (*)()>(GetProcAddress(spooler, MAKEINTRESOURCEA(203))));
  ASSERT_NE(byOrdinal, nullptr);
  wchar_t viaOrdinal[256] = L"";
  wchar_t viaName[256] = L"";
  DWORD size = 256;
  const BOOL a = byOrdinal(viaOrdinal, &size);
  size = 256;
  const BOOL b = GetDefaultPrinterW(viaName, &size);
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::wstring(viaOrdinal), std::wstring(viaName));
  FreeLibrary(spooler);
}

}  // namespace
