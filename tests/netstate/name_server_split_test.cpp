#include <gtest/gtest.h>

#include <string>

#include "NebrinCoreDll.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::Profile;
using nebrin::testing::Put;
using nebrin::testing::Text;

struct SplitCase {
  bool dhcp;  // space-separated (DHCP) or comma-separated (set by hand)
  std::string list;
  std::string primary;
  std::string secondary;
};

class NameServerSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(NameServerSplit, FillsTheDnsFields) {
  const SplitCase& c = GetParam();
  Profile p;
  Put(p.adapters[3].PrimaryDnsServer, "old1");
  Put(p.adapters[3].SecondaryDnsServer, "old2");
  NebrinChar list[200];
  Put(list, c.list);
  CNetInfoManage manage;
  const int result = c.dhcp ? manage.GetDHCPDNSAddress(p.adapters, list, 3)
                            : manage.GetDNSAddress(p.adapters, list, 3);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Text(p.adapters[3].PrimaryDnsServer), c.primary);
  EXPECT_EQ(Text(p.adapters[3].SecondaryDnsServer), c.secondary);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NameServerSplit,
    ::testing::Values(SplitCase{true, "10.0.0.1 10.0.0.2", "10.0.0.1", "10.0.0.2"},
                      SplitCase{true, "10.0.0.1 10.0.0.2 10.0.0.3", "10.0.0.1", "10.0.0.2"},
                      SplitCase{false, "10.0.0.1,10.0.0.2", "10.0.0.1", "10.0.0.2"},
                      SplitCase{false, "10.0.0.1", "10.0.0.1", "old2"},
                      SplitCase{false, "10.0.0.1 10.0.0.2", "10.0.0.1 10.0.0.2", "old2"},
                      SplitCase{true, "10.0.0.1 ", "10.0.0.1", ""},
                      SplitCase{true, " 10.0.0.9", "old1", "10.0.0.9"},
                      SplitCase{true, "", "", "old2"},
                      SplitCase{false, std::string(70, '7') + ",1.2.3.4", std::string(49, '7'),
                                "1.2.3.4"}));

TEST(NameServerSplitBounds, OutOfRangeIndexOrNullListWritesNothing) {
  Profile p;
  Put(p.adapters[0].PrimaryDnsServer, "keep");
  NebrinChar list[] = u"1.2.3.4";
  CNetInfoManage manage;
  EXPECT_EQ(manage.GetDNSAddress(p.adapters, list, -1), 1);
  EXPECT_EQ(manage.GetDNSAddress(p.adapters, list, 10), 1);
  EXPECT_EQ(manage.GetDHCPDNSAddress(p.adapters, nullptr, 0), 1);
  EXPECT_EQ(Text(p.adapters[0].PrimaryDnsServer), "keep");
}

}  // namespace
