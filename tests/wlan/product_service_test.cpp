// Registering and removing the product's wireless service.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/service_handle.h"
#include "support/sim_fixture.h"
#include "wlan/wlan_machines.h"

namespace nebrin::testing {
namespace {

using sim::Machine;

class ProductServiceTest : public SimTest {
 protected:
  void SetUp() override { Use(Machine::Demo()); }
  int Install(std::u16string path) { return CWLanControl().InstallWLANService(Param(path)); }
  sim::SimService* Product() { return FindService(machine(), "NebrinWLANService"); }
};

TEST_F(ProductServiceTest, InstallRegistersTheServiceWithoutStartingIt) {
  EXPECT_EQ(Install(u"C:\\Nebrin\\NebrinSvc.exe"), 1);
  const sim::SimService* service = Product();
  ASSERT_NE(service, nullptr);
  EXPECT_EQ(service->displayName, "Nebrin WLAN Service");
  EXPECT_EQ(service->type, 0x10u);
  EXPECT_EQ(service->startType, 2u);
  EXPECT_EQ(service->errorControl, 1u);
  EXPECT_EQ(service->binaryPath, "C:\\Nebrin\\NebrinSvc.exe");
  EXPECT_EQ(service->state, kStopped);
  EXPECT_EQ(CWLanControl().CheckNebrinWLANStatus(), 1);
}

TEST_F(ProductServiceTest, AProgramPartWithABlankIsRegisteredQuoted) {
  struct Case {
    const char16_t* given;
    const char* registered;
  };
  const std::vector<Case> cases = {
      {u"C:\\Program Files\\Nebrin\\NebrinSvc.exe", "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\""},
      {u"C:\\Program Files\\Nebrin\\NebrinSvc.EXE", "\"C:\\Program Files\\Nebrin\\NebrinSvc.EXE\""},
      // Arguments stay outside the quotes, as given.
      {u"C:\\Program Files\\Nebrin\\NebrinSvc.exe -service",
       "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\" -service"},
      {u"C:\\Program Files\\Nebrin\\NebrinSvc.exe\t-a  -b",
       "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\"\t-a  -b"},
      // The program ends at the first ".exe" that ends a word, not at the last one.
      {u"C:\\Program Files\\corvane\\Nebrin\\svc.exe -k C:\\x.exe",
       "\"C:\\Program Files\\corvane\\Nebrin\\svc.exe\" -k C:\\x.exe"},
      {u"C:\\Program Files\\My.exe Tools\\svc.exe", "\"C:\\Program Files\\My.exe\" Tools\\svc.exe"},
      {u"C:\\Prog.exes\\Nebrin Svc.exe", "\"C:\\Prog.exes\\Nebrin Svc.exe\""},
      // Already quoted: kept, arguments and all.
      {u"\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\"",
       "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\""},
      {u"\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\" -service",
       "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\" -service"},
      // Blanks ahead of the text are dropped, so the quote comes first.
      {u" C:\\Program Files\\x.exe", "\"C:\\Program Files\\x.exe\""},
      {u" \t\"C:\\Program Files\\x.exe\" -k", "\"C:\\Program Files\\x.exe\" -k"},
      {u"  C:\\Nebrin\\x.exe", "C:\\Nebrin\\x.exe"},
      // No blank in the program part: nothing to quote.
      {u"C:\\Nebrin\\NebrinSvc.exe", "C:\\Nebrin\\NebrinSvc.exe"},
      {u"C:\\Nebrin\\NebrinSvc.exe -k C:\\Program Files\\x",
       "C:\\Nebrin\\NebrinSvc.exe -k C:\\Program Files\\x"},
      // No ".exe" ending a word: kept.
      {u"C:\\Program Files\\Nebrin\\NebrinSvc.exe.old",
       "C:\\Program Files\\Nebrin\\NebrinSvc.exe.old"},
      {u"C:\\Program Files\\Nebrin\\svc.com -service",
       "C:\\Program Files\\Nebrin\\svc.com -service"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.registered);
    Use(Machine::Demo());
    ASSERT_EQ(Install(c.given), 1);
    ASSERT_NE(Product(), nullptr);
    EXPECT_EQ(Product()->binaryPath, c.registered);
  }
}

TEST_F(ProductServiceTest, AnExistingServiceKeepsItsRegistration) {
  for (std::uint32_t state : {kStopped, kRunning}) {
    SCOPED_TRACE(state);
    Use(Machine::Demo());
    machine().service_table().services.push_back(ProductService("C:\\Old\\svc.exe", state));
    EXPECT_EQ(Install(u"C:\\New\\svc.exe"), 1);
    EXPECT_EQ(Product()->binaryPath, "C:\\Old\\svc.exe");
    EXPECT_EQ(Product()->state, state);
  }
}

TEST_F(ProductServiceTest, AServiceTheListDoesNotShowIsOpenedInsteadOfCreated) {
  // Registered under the name as a driver: not among the Win32 services listed, so creation is
  // tried and refused, and the existing service counts.
  sim::SimService driver = ProductService("system32\\drivers\\other.sys");
  driver.type = 0x01;
  machine().service_table().services.push_back(driver);
  EXPECT_EQ(Install(u"C:\\New\\svc.exe"), 1);
  EXPECT_EQ(Product()->binaryPath, "system32\\drivers\\other.sys");
  EXPECT_EQ(machine().service_table().services.size(), 5u);
}

TEST_F(ProductServiceTest, InstallFailsWithoutRightsOrPath) {
  machine().system_state().administrator = false;
  EXPECT_EQ(Install(u"C:\\Nebrin\\NebrinSvc.exe"), 0);
  EXPECT_EQ(Product(), nullptr);
  machine().system_state().administrator = true;
  EXPECT_EQ(CWLanControl().InstallWLANService(nullptr), 0);
  EXPECT_EQ(Product(), nullptr);
}

TEST_F(ProductServiceTest, DeleteRemovesAStoppedServiceAtOnce) {
  machine().service_table().services.push_back(ProductService("C:\\svc.exe"));
  EXPECT_EQ(CWLanControl().DeleteWLANService(), 1);
  EXPECT_EQ(Product(), nullptr);
  EXPECT_EQ(CWLanControl().DeleteWLANService(), 0);
}

TEST_F(ProductServiceTest, ARunningServiceGoesOnceItStops) {
  machine().service_table().services.push_back(ProductService("C:\\svc.exe", kRunning));
  CWLanControl wlan;
  EXPECT_EQ(wlan.DeleteWLANService(), 1);
  ASSERT_NE(Product(), nullptr);
  EXPECT_TRUE(Product()->markedForDeletion);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 1);
  EXPECT_EQ(wlan.DeleteWLANService(), 0);          // already marked
  EXPECT_EQ(wlan.InstallWLANService(nullptr), 1);  // still registered

  // The service stops (as its own process would end).
  platform::ServiceManager& services = machine().serviceManager();
  platform::UniqueServiceHandle manager(services);
  platform::UniqueServiceHandle service(services);
  ASSERT_EQ(services.OpenManager(u"", platform::kScManagerConnect, manager.receive()), 0u);
  ASSERT_EQ(
      services.Open(manager.get(), u"NebrinWLANService", platform::kServiceStop, service.receive()),
      0u);
  platform::ServiceStatus status;
  ASSERT_EQ(services.Control(service.get(), platform::kControlStop, status), 0u);
  EXPECT_NE(Product(), nullptr);  // a handle to it is still open
  service.reset();
  EXPECT_EQ(Product(), nullptr);
  EXPECT_EQ(wlan.CheckNebrinWLANStatus(), 0);
}

TEST_F(ProductServiceTest, DeleteFailsWithoutRights) {
  machine().service_table().services.push_back(ProductService("C:\\svc.exe"));
  machine().system_state().administrator = false;
  EXPECT_EQ(CWLanControl().DeleteWLANService(), 0);
  EXPECT_NE(Product(), nullptr);
}

}  // namespace
}  // namespace nebrin::testing
