// The records cross the library boundary as plain memory: they must stay plain data.
#include <gtest/gtest.h>

#include <type_traits>

#include "NebrinCoreDll.h"

namespace {

template <typename T>
constexpr bool kPlainRecord = std::is_standard_layout_v<T> && std::is_trivially_copyable_v<T> &&
                              std::is_trivially_default_constructible_v<T>;

TEST(RecordLayout, RecordsArePlainData) {
  EXPECT_TRUE(kPlainRecord<EnvInfoStr>);
  EXPECT_TRUE(kPlainRecord<AdapterInfoStr>);
  EXPECT_TRUE(kPlainRecord<NameIndex>);
  EXPECT_TRUE(kPlainRecord<PrinterInfostr>);
}

TEST(RecordLayout, AdapterArrayHasNoPadding) {
  // Hosts pass the first of ten consecutive records.
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  EXPECT_EQ(reinterpret_cast<char*>(&adapters[9]) - reinterpret_cast<char*>(&adapters[0]),
            9 * 1314);
}

TEST(RecordLayout, ClassesHoldNoDataButTheWirelessFlag) {
  EXPECT_EQ(sizeof(CCommonFtn), 1u);
  EXPECT_EQ(sizeof(CICSManage), 1u);
  EXPECT_EQ(sizeof(CNetDiag), 1u);
  EXPECT_EQ(sizeof(CNetInfoManage), 1u);
  EXPECT_EQ(sizeof(CNetInfoRetrieve), 1u);
  EXPECT_EQ(sizeof(CRoamingControl), 1u);
  EXPECT_EQ(sizeof(CNebrinCoreDll), 1u);
  EXPECT_EQ(sizeof(CWLanControl), 2u);
  EXPECT_FALSE(std::is_polymorphic_v<CWLanControl>);
}

}  // namespace
