#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/shared_objects.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::Profile;

// The members that answer 1 whatever they are given, called with null pointers and with odd
// values. They must not touch the platform: the test runs with no machine installed.
TEST(ConstantMembers, AnswerOneWhateverTheyAreGiven) {
  CCommonFtn common;
  CICSManage ics;
  CNetInfoManage manage;
  CRoamingControl roaming;
  CWLanControl wlan;
  Profile profile;
  NebrinChar text[] = u"x";
  const std::vector<std::pair<std::string, std::function<int()>>> members = {
      {"CCommonFtn::CheckAdapterExist null", [&] { return common.CheckAdapterExist(-1, 99, nullptr); }},
      {"CCommonFtn::CheckAdapterExist", [&] { return common.CheckAdapterExist(0, 0, profile.adapters); }},
      {"CCommonFtn::CheckOSVersion", [&] { return common.CheckOSVersion(); }},
      {"CCommonFtn::CheckSingleInstance null", [&] { return common.CheckSingleInstance(nullptr); }},
      {"CCommonFtn::CheckSingleInstance", [&] { return common.CheckSingleInstance(text); }},
      {"CCommonFtn::MakeMappingIndexArrayForGUI", [&] { return common.MakeMappingIndexArrayForGUI(-5, 1 << 30); }},
      {"CICSManage::ICSInstallAndUninstall null", [&] { return ics.ICSInstallAndUninstall(7, nullptr, nullptr); }},
      {"CICSManage::ICSInstallAndUninstall", [&] { return ics.ICSInstallAndUninstall(0, &profile.env, profile.adapters); }},
      {"CNetInfoManage::CheckAddressValid null", [&] { return manage.CheckAddressValid(nullptr); }},
      {"CNetInfoManage::CheckAddressValid", [&] { return manage.CheckAddressValid(text); }},
      {"CRoamingControl::InstallRoamingDriver", [&] { return roaming.InstallRoamingDriver(); }},
      {"CRoamingControl::UninstallRoamingDriver", [&] { return roaming.UninstallRoamingDriver(); }},
      {"CRoamingControl::CheckOutRoamingStatus", [&] { return roaming.CheckOutRoamingStatus(); }},
      {"CWLanControl::GetMaxRSSIValue null", [&] { return wlan.GetMaxRSSIValue(nullptr); }},
      {"CWLanControl::ChangeAPOrder null", [&] { return wlan.ChangeAPOrder(nullptr); }},
      {"CWLanControl::ChangeAPOrder", [&] { return wlan.ChangeAPOrder(text); }},
  };
  for (const auto& [name, call] : members) EXPECT_EQ(call(), 1) << name;
}

TEST(ConstantMembers, CopyAssignmentCopiesOnlyTheWirelessFlag) {
  CWLanControl a;
  CWLanControl b;
  a.bWZCStopped = 1;
  b.bWZCStopped = 0;
  CWLanControl& result = (b = a);
  EXPECT_EQ(&result, &b);
  EXPECT_EQ(b.bWZCStopped, 1);

  CNetInfoManage m1;
  CNetInfoManage m2;
  EXPECT_EQ(&(m2 = m1), &m2);
}

TEST(SharedObjects, ExistForTheWholeLoadWithTheFlagClear) {
  EXPECT_EQ(&nebrin::frame::SharedRetrieve(), &nebrin::frame::SharedRetrieve());
  EXPECT_EQ(&nebrin::frame::SharedManage(), &nebrin::frame::SharedManage());
  EXPECT_EQ(nebrin::frame::SharedWLan().bWZCStopped, 0);
}

}  // namespace
