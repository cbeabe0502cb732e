// The simulated service manager's Windows semantics that the wireless members do not reach on
// their own: the enumeration's sizes and partial fills, access rights per handle, and the errors
// of creating and starting services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/service_handle.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_service_manager.h"

namespace nebrin::sim {
namespace {

using namespace nebrin::platform;

class SimServicesTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(machine_->OpenHandles(), 0u); }

  std::shared_ptr<Machine> machine_ = Machine::Demo();
  ServiceManager& services_ = machine_->serviceManager();
};

TEST_F(SimServicesTest, EnumerationSizesAndPartialFills) {
  UniqueServiceHandle manager(services_);
  ASSERT_EQ(services_.OpenManager(u"", kScManagerEnumerateService, manager.receive()), kSuccess);
  // Win32 services by name: Dhcp, Spooler, WZCSVC (the driver ORLPD is not one).
  const std::uint32_t dhcp = EnumerationBytes("Dhcp", "DHCP Client");
  const std::uint32_t spooler = EnumerationBytes("Spooler", "Print Spooler");
  const std::uint32_t wzc = EnumerationBytes("WZCSVC", "Wireless Zero Configuration");
  EXPECT_EQ(dhcp, 36u + 2 * (5 + 12));
  std::uint32_t needed = 0;
  EXPECT_EQ(services_.QueryServicesSize(manager.get(), kServiceWin32, kStateAll, needed),
            kMoreData);
  EXPECT_EQ(needed, dhcp + spooler + wzc);

  std::vector<ServiceEntry> entries;
  EXPECT_EQ(services_.EnumerateServices(manager.get(), kServiceWin32, kStateAll,
                                        dhcp + spooler + wzc - 1, entries, needed),
            kMoreData);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].serviceName, u"Dhcp");
  EXPECT_EQ(entries[1].serviceName, u"Spooler");
  EXPECT_EQ(needed, wzc);

  EXPECT_EQ(services_.EnumerateServices(manager.get(), kServiceKernelDriver, kStateInactive, 1000,
                                        entries, needed),
            kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].serviceName, u"ORLPD");
  EXPECT_EQ(entries[0].status.currentState, kStateStopped);

  // Nothing inactive among the Win32 services: the size query succeeds with nothing needed.
  EXPECT_EQ(services_.QueryServicesSize(manager.get(), kServiceWin32, kStateInactive, needed),
            kSuccess);
  EXPECT_EQ(needed, 0u);
}

TEST_F(SimServicesTest, EachHandleAllowsWhatItWasOpenedFor) {
  UniqueServiceHandle manager(services_);
  ASSERT_EQ(services_.OpenManager(u"", kScManagerConnect, manager.receive()), kSuccess);
  std::uint32_t needed = 0;
  EXPECT_EQ(services_.QueryServicesSize(manager.get(), kServiceWin32, kStateAll, needed),
            kAccessDenied);
  UniqueServiceHandle service(services_);
  ASSERT_EQ(services_.Open(manager.get(), u"wzcsvc", kServiceInterrogate, service.receive()),
            kSuccess);
  ServiceStatus status;
  EXPECT_EQ(services_.Control(service.get(), kControlInterrogate, status), kSuccess);
  EXPECT_EQ(status.currentState, kStateRunning);
  EXPECT_EQ(services_.Control(service.get(), kControlStop, status), kAccessDenied);
  EXPECT_EQ(services_.Start(service.get()), kAccessDenied);
  EXPECT_EQ(services_.Delete(service.get()), kAccessDenied);
  EXPECT_EQ(services_.Start(manager.get()), kInvalidHandle);
  UniqueServiceHandle failed(services_);
  EXPECT_EQ(services_.OpenManager(u"ServicesFailed", kScManagerConnect, failed.receive()),
            kDatabaseDoesNotExist);
}

TEST_F(SimServicesTest, CreateAndStartRefuseWhatWindowsRefuses) {
  UniqueServiceHandle manager(services_);
  ASSERT_EQ(services_.OpenManager(u"", kScManagerAllAccess, manager.receive()), kSuccess);
  auto create = [&](std::u16string_view name, std::u16string_view display) {
    ServiceRegistration r;
    r.serviceName = name;
    r.displayName = display;
    r.desiredAccess = kServiceAllAccess;
    r.serviceType = kServiceWin32OwnProcess;
    r.startType = kServiceDisabled;
    r.errorControl = kServiceErrorNormal;
    r.binaryPath = u"C:\\svc.exe";
    UniqueServiceHandle created(services_);
    return services_.Create(manager.get(), r, created.receive());
  };
  EXPECT_EQ(create(u"spooler", u"Another"), kServiceExists);
  EXPECT_EQ(create(u"Other", u"print spooler"), kDuplicateServiceName);
  ASSERT_EQ(create(u"Other", u"Other service"), kSuccess);

  UniqueServiceHandle other(services_);
  ASSERT_EQ(services_.Open(manager.get(), u"Other", kServiceAllAccess, other.receive()), kSuccess);
  EXPECT_EQ(services_.Start(other.get()), kServiceDisabledError);
  ASSERT_EQ(services_.Delete(other.get()), kSuccess);
  EXPECT_EQ(services_.Start(other.get()), kServiceMarkedForDelete);
  EXPECT_EQ(create(u"Other", u"Other service"), kServiceMarkedForDelete);
  other.reset();  // the last handle: the stopped service goes
  EXPECT_EQ(create(u"Other", u"Other service"), kSuccess);
}

// A stopped service is not active; a starting or stopping one takes no control but a stop while
// it starts, which goes to a service only when it accepts stops (this model's do not before
// they run).
TEST_F(SimServicesTest, ControlsFollowTheServicesState) {
  struct Case {
    std::uint32_t state;
    Status interrogate;
    Status stop;
  };
  const std::vector<Case> cases = {
      {kStateStopped, kServiceNotActive, kServiceNotActive},
      {kStateStartPending, kServiceCannotAcceptCtrl, kInvalidServiceControl},
      {kStateRunning, kSuccess, kSuccess},
      {kStateStopPending, kServiceCannotAcceptCtrl, kServiceCannotAcceptCtrl},
  };
  UniqueServiceHandle manager(services_);
  ASSERT_EQ(services_.OpenManager(u"", kScManagerConnect, manager.receive()), kSuccess);
  SimService& spooler = machine_->service_table().services[2];
  ASSERT_EQ(spooler.name, "Spooler");
  spooler.stopMs = 0;  // a stop that is taken leaves it stopped at once
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    spooler.state = c.state;
    spooler.settlesAtTick.reset();  // a pending state that stays pending
    UniqueServiceHandle service(services_);
    ASSERT_EQ(services_.Open(manager.get(), u"Spooler", kServiceAllAccess, service.receive()),
              kSuccess);
    ServiceStatus status;
    EXPECT_EQ(services_.Control(service.get(), kControlInterrogate, status), c.interrogate);
    EXPECT_EQ(status.currentState, c.state);  // reported with every answer
    status = ServiceStatus{};
    EXPECT_EQ(services_.Control(service.get(), kControlStop, status), c.stop);
    EXPECT_EQ(status.currentState, c.state == kStateRunning ? kStateStopped : c.state);
  }
}

}  // namespace
}  // namespace nebrin::sim
