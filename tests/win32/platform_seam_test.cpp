// The Win32 services behind the seam, from the library's Win32 platform linked into this test
// (the DLL keeps its own to itself). They must answer what the seam's interfaces promise, which
// is what the simulated machine models.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "registry_fixture.h"

namespace nebrin::win32_test {
namespace {

using namespace nebrin::platform;

constexpr char16_t kTestKey[] = u"Software\\NebrinSeamTest";

class RegistrySeamTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_ = MakeDefaultPlatform(); }
  void TearDown() override {
    registry().DeleteKey(kCurrentUser, std::u16string(kTestKey) + u"\\Child");
    registry().DeleteKey(kCurrentUser, kTestKey);
  }
  Registry& registry() { return platform_->registry(); }

  std::shared_ptr<Platform> platform_;
};

TEST_F(RegistrySeamTest, KeysAndValuesBehaveAsTheSeamPromises) {
  Registry& reg = registry();
  KeyHandle key = kNoKey;
  bool created = false;
  ASSERT_EQ(kSuccess, reg.CreateKey(kCurrentUser, kTestKey, Access::All, key, created));
  EXPECT_TRUE(created);
  reg.CloseKey(key);
  ASSERT_EQ(kSuccess, reg.CreateKey(kCurrentUser, kTestKey, Access::All, key, created));
  EXPECT_FALSE(created);

  const char16_t text[] = u"abc";
  ASSERT_EQ(kSuccess, reg.SetValue(key, u"Text", RegType::String, text, sizeof(text)));

  RegType type = RegType::None;
  std::uint32_t size = 0;
  EXPECT_EQ(kSuccess, reg.QueryValue(key, u"Text", type, nullptr, size));  // size only
  EXPECT_EQ(RegType::String, type);
  EXPECT_EQ(sizeof(text), size);

  char16_t small[2] = {};
  size = sizeof(small);
  EXPECT_EQ(kMoreData, reg.QueryValue(key, u"Text", type, small, size));
  EXPECT_EQ(sizeof(text), size);  // the size needed

  char16_t read[8] = {};
  size = sizeof(read);
  EXPECT_EQ(kSuccess, reg.QueryValue(key, u"Text", type, read, size));
  EXPECT_EQ(std::u16string(u"abc"), std::u16string(read));

  EXPECT_EQ(kFileNotFound, reg.QueryValue(key, u"Missing", type, nullptr, size));

  std::u16string name;
  EXPECT_EQ(kSuccess, reg.EnumValue(key, 0, name));
  EXPECT_EQ(u"Text", name);
  EXPECT_EQ(kNoMoreItems, reg.EnumValue(key, 1, name));

  KeyHandle child = kNoKey;
  ASSERT_EQ(kSuccess, reg.CreateKey(key, u"Child", Access::All, child, created));
  reg.CloseKey(child);
  EXPECT_EQ(kSuccess, reg.EnumKey(key, 0, name));
  EXPECT_EQ(u"Child", name);
  EXPECT_EQ(kNoMoreItems, reg.EnumKey(key, 1, name));
  EXPECT_EQ(kAccessDenied, reg.DeleteKey(kCurrentUser, kTestKey));  // it still has a subkey

  EXPECT_EQ(kSuccess, reg.DeleteValue(key, u"Text"));
  EXPECT_EQ(kFileNotFound, reg.DeleteValue(key, u"Text"));
  reg.CloseKey(key);
}

TEST_F(RegistrySeamTest, OpenReportsMissingKeysAndReadOnlyAccess) {
  Registry& reg = registry();
  KeyHandle key = 12345;
  EXPECT_EQ(kFileNotFound, reg.OpenKey(kCurrentUser, u"Software\\NebrinNoSuchKey", Access::Read, key));
  EXPECT_EQ(kNoKey, key);

  bool created = false;
  ASSERT_EQ(kSuccess, reg.CreateKey(kCurrentUser, kTestKey, Access::All, key, created));
  reg.CloseKey(key);
  ASSERT_EQ(kSuccess, reg.OpenKey(kCurrentUser, kTestKey, Access::Read, key));
  const std::uint32_t number = 7;
  EXPECT_EQ(kAccessDenied, reg.SetValue(key, u"Number", RegType::Dword, &number, sizeof(number)));
  reg.CloseKey(key);
  reg.CloseKey(kCurrentUser);  // the roots are never closed
  reg.CloseKey(kLocalMachine);
  ASSERT_EQ(kSuccess, reg.OpenKey(kLocalMachine, u"SYSTEM", Access::Read, key));
  reg.CloseKey(key);
}

// What the simulated machine models of named mutexes: a holder takes its mutex again and
// releases each taking, a thread that does not hold it cannot release it, and a name another kind
// of object holds is refused.
TEST(MutexSeamTest, TakingAgainReleasingAndForeignNames) {
  auto platform = MakeDefaultPlatform();
  Mutexes& mutexes = platform->mutexes();
  const std::u16string name = u"Local\\NebrinSeamTestMutex";
  MutexHandle mutex = kNoMutex;
  ASSERT_EQ(kSuccess, mutexes.Create(name, mutex));
  EXPECT_EQ(kNotOwner, mutexes.Release(mutex));
  Status error = kSuccess;
  EXPECT_EQ(kWaitObject0, mutexes.Wait(mutex, 0, error));
  EXPECT_EQ(kWaitObject0, mutexes.Wait(mutex, 0, error));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  EXPECT_EQ(kSuccess, mutexes.Release(mutex));
  EXPECT_EQ(kNotOwner, mutexes.Release(mutex));
  mutexes.Close(mutex);

  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, L"Local\\NebrinSeamTestEvent");
  ASSERT_NE(event, nullptr);
  MutexHandle refused = kNoMutex;
  EXPECT_EQ(kInvalidHandle, mutexes.Create(u"Local\\NebrinSeamTestEvent", refused));
  EXPECT_EQ(refused, kNoMutex);
  CloseHandle(event);
}

TEST(AdapterListSeamTest, FillsWhatIpHelperListsAndReportsAShortBlock) {
  const auto platform = MakeDefaultPlatform();
  AdapterList& list = platform->adapters();
  DWORD status = 0;
  const std::vector<ListedAdapter> listed = ListAdapters(status);

  std::uint32_t bytes = 0;
  const Status size = list.QuerySize(bytes);
  if (listed.empty()) {
    EXPECT_EQ(kNoData, size);
    return;
  }
  ASSERT_EQ(kBufferOverflow, size);
  ASSERT_GT(bytes, 1u);

  std::vector<AdapterListEntry> entries;
  EXPECT_EQ(kBufferOverflow, list.Fill(1, entries));
  ASSERT_EQ(kSuccess, list.Fill(bytes, entries));
  ASSERT_EQ(listed.size(), entries.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const std::string& name = entries[i].adapterName;
    EXPECT_EQ(listed[i].guid, std::wstring(name.begin(), name.end()));
    EXPECT_EQ(listed[i].dhcp, entries[i].dhcpEnabled);
    const std::string& address = entries[i].ipAddress;
    EXPECT_EQ(listed[i].ipAddress, std::wstring(address.begin(), address.end()));
  }
}

TEST(SystemSeamTest, VersionMetricsAndCodePages) {
  const auto platform = MakeDefaultPlatform();
  SystemInfo& system = platform->system();
  OsVersion version;
  ASSERT_EQ(kSuccess, system.GetVersion(version));
  EXPECT_EQ(2u, version.platformId);  // VER_PLATFORM_WIN32_NT
  EXPECT_GE(version.major, 5u);
  EXPECT_EQ(0, system.GetSystemMetric(99999));
  EXPECT_EQ(GetACP(), system.AnsiCodePage());
  EXPECT_EQ(GetOEMCP(), system.OemCodePage());
}

TEST(TextSeamTest, ConvertsOnTheAnsiPage) {
  const auto platform = MakeDefaultPlatform();
  TextCodec& text = platform->text();
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western European ANSI page";
  std::u16string wide;
  EXPECT_EQ(kSuccess, text.ToWide(CodePage::Ansi, "caf\xE9", wide));
  EXPECT_EQ(u"caf\u00E9", wide);
  EXPECT_EQ(kSuccess, text.ToWide(CodePage::Ansi, "", wide));
  EXPECT_EQ(u"", wide);

  std::string narrow;
  EXPECT_EQ(kSuccess, text.ToNarrow(CodePage::Ansi, u"caf\u00E9 \u4E00", narrow));
  EXPECT_EQ("caf\xE9 ?", narrow);  // the page's default character for what it lacks
  // The first half of a surrogate pair without its second is a character of its own.
  EXPECT_EQ(kSuccess, text.ToNarrow(CodePage::Ansi, u"a\xD83D\"\xDBFF\r\n", narrow));
  EXPECT_EQ("a?\"?\r\n", narrow);
}

// MultiByteToWideChar without flags: a byte the ANSI page does not define becomes the page's
// default character and the conversion succeeds. (On the Western page every byte is defined; the
// test runs a second time with the Japanese page, where a lead byte without its trail is not.)
TEST(TextSeamTest, BytesThePageDoesNotDefineStillConvert) {
  TextCodec& text = MakeDefaultPlatform()->text();
  std::u16string wide;
  ASSERT_EQ(kSuccess, text.ToWide(CodePage::Ansi, "a\x81", wide));
  if (GetACP() == 932) {
    EXPECT_EQ(u"a\u30FB", wide);
  } else if (GetACP() == 1252) {
    EXPECT_EQ(u"a\u0081", wide);
  }
}

// Best fit: a character the page lacks becomes a look-alike it has, where its table names one.
TEST(TextSeamTest, LookAlikesTakeTheirBestFit) {
  if (GetACP() != 1252) GTEST_SKIP() << "expects the Western European ANSI page";
  std::string narrow;
  ASSERT_EQ(kSuccess, MakeDefaultPlatform()->text().ToNarrow(CodePage::Ansi, u"a\uFF02b", narrow));
  EXPECT_EQ("a\"b", narrow);
}

}  // namespace
}  // namespace nebrin::win32_test
