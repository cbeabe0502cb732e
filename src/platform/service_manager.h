// Service control manager: opening the manager and a service, starting a service, the interrogate
// and stop controls, enumerating services (size query and fill), creating and deleting a service
// (OpenSCManagerW, OpenServiceW, StartServiceW, ControlService, EnumServicesStatusW,
// CreateServiceW, DeleteService, CloseServiceHandle). Every call answers the Win32 error, or
// kSuccess.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace nebrin::platform {

// An open service-manager or service handle; 0 is no handle.
using ServiceHandle = std::uintptr_t;
inline constexpr ServiceHandle kNoService = 0;

// Access rights.
inline constexpr std::uint32_t kScManagerConnect = 0x0001;           // SC_MANAGER_CONNECT
inline constexpr std::uint32_t kScManagerCreateService = 0x0002;     // SC_MANAGER_CREATE_SERVICE
inline constexpr std::uint32_t kScManagerEnumerateService = 0x0004;  // SC_MANAGER_ENUMERATE_SERVICE
inline constexpr std::uint32_t kScManagerAllAccess = 0x000F003F;     // SC_MANAGER_ALL_ACCESS
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;         // SERVICE_QUERY_STATUS
inline constexpr std::uint32_t kServiceStart = 0x0010;               // SERVICE_START
inline constexpr std::uint32_t kServiceStop = 0x0020;                // SERVICE_STOP
inline constexpr std::uint32_t kServiceInterrogate = 0x0080;         // SERVICE_INTERROGATE
inline constexpr std::uint32_t kServiceAllAccess = 0x000F01FF;       // SERVICE_ALL_ACCESS
inline constexpr std::uint32_t kDelete = 0x00010000;                 // DELETE

// Service types, start types and error control.
inline constexpr std::uint32_t kServiceKernelDriver = 0x01;       // SERVICE_KERNEL_DRIVER
inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;    // SERVICE_WIN32_OWN_PROCESS
inline constexpr std::uint32_t kServiceWin32ShareProcess = 0x20;  // SERVICE_WIN32_SHARE_PROCESS
inline constexpr std::uint32_t kServiceWin32 = 0x30;              // SERVICE_WIN32
inline constexpr std::uint32_t kServiceAutoStart = 2;             // SERVICE_AUTO_START
inline constexpr std::uint32_t kServiceDemandStart = 3;           // SERVICE_DEMAND_START
inline constexpr std::uint32_t kServiceDisabled = 4;              // SERVICE_DISABLED
inline constexpr std::uint32_t kServiceErrorNormal = 1;           // SERVICE_ERROR_NORMAL

// Controls and the states a service reports.
inline constexpr std::uint32_t kControlStop = 1;         // SERVICE_CONTROL_STOP
inline constexpr std::uint32_t kControlInterrogate = 4;  // SERVICE_CONTROL_INTERROGATE
inline constexpr std::uint32_t kStateStopped = 1;        // SERVICE_STOPPED
inline constexpr std::uint32_t kStateStartPending = 2;   // SERVICE_START_PENDING
inline constexpr std::uint32_t kStateStopPending = 3;    // SERVICE_STOP_PENDING
inline constexpr std::uint32_t kStateRunning = 4;        // SERVICE_RUNNING

// Which services an enumeration lists.
inline constexpr std::uint32_t kStateActive = 1;    // SERVICE_ACTIVE
inline constexpr std::uint32_t kStateInactive = 2;  // SERVICE_INACTIVE
inline constexpr std::uint32_t kStateAll = 3;       // SERVICE_STATE_ALL

// Errors of the service manager.
inline constexpr Status kInvalidServiceControl = 1052;    // ERROR_INVALID_SERVICE_CONTROL
inline constexpr Status kServiceRequestTimeout = 1053;    // ERROR_SERVICE_REQUEST_TIMEOUT
inline constexpr Status kServiceAlreadyRunning = 1056;    // ERROR_SERVICE_ALREADY_RUNNING
inline constexpr Status kServiceDisabledError = 1058;     // ERROR_SERVICE_DISABLED
inline constexpr Status kServiceDoesNotExist = 1060;      // ERROR_SERVICE_DOES_NOT_EXIST
inline constexpr Status kServiceCannotAcceptCtrl = 1061;  // ERROR_SERVICE_CANNOT_ACCEPT_CTRL
inline constexpr Status kServiceNotActive = 1062;         // ERROR_SERVICE_NOT_ACTIVE
inline constexpr Status kDatabaseDoesNotExist = 1065;     // ERROR_DATABASE_DOES_NOT_EXIST
inline constexpr Status kServiceMarkedForDelete = 1072;   // ERROR_SERVICE_MARKED_FOR_DELETE
inline constexpr Status kServiceExists = 1073;            // ERROR_SERVICE_EXISTS
inline constexpr Status kDuplicateServiceName = 1078;     // ERROR_DUPLICATE_SERVICE_NAME

// The database OpenSCManagerW opens when it is given none.
inline constexpr std::u16string_view kServicesActiveDatabase = u"ServicesActive";

// What a control or the enumeration reports of a service (SERVICE_STATUS).
struct ServiceStatus {
  std::uint32_t serviceType = 0;
  std::uint32_t currentState = 0;
  std::uint32_t controlsAccepted = 0;
  std::uint32_t win32ExitCode = 0;
  std::uint32_t serviceSpecificExitCode = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;
};

// One entry of an enumeration (ENUM_SERVICE_STATUSW).
struct ServiceEntry {
  std::u16string serviceName;
  std::u16string displayName;
  ServiceStatus status;
};

// The registration of a new service; the load-order group, tag, dependencies, account and
// password are always none (the local system account).
struct ServiceRegistration {
  std::u16string_view serviceName;
  std::u16string_view displayName;
  std::uint32_t desiredAccess = 0;
  std::uint32_t serviceType = 0;
  std::uint32_t startType = 0;
  std::uint32_t errorControl = 0;
  std::u16string_view binaryPath;
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;

  // OpenSCManagerW on the local machine: `database` empty for the default database.
  virtual Status OpenManager(std::u16string_view database, std::uint32_t access,
                             ServiceHandle& manager) = 0;
  // OpenServiceW.
  virtual Status Open(ServiceHandle manager, std::u16string_view name, std::uint32_t access,
                      ServiceHandle& service) = 0;
  // StartServiceW with no arguments.
  virtual Status Start(ServiceHandle service) = 0;
  // ControlService: `status` is what the service reports (also filled when the control fails with
  // an error the service manager reports a status for).
  virtual Status Control(ServiceHandle service, std::uint32_t control, ServiceStatus& status) = 0;
  // EnumServicesStatusW with no buffer: kMoreData and the bytes the whole list needs, or kSuccess
  // with 0 when no service matches.
  virtual Status QueryServicesSize(ServiceHandle manager, std::uint32_t serviceType,
                                   std::uint32_t serviceState, std::uint32_t& bytesNeeded) = 0;
  // EnumServicesStatusW from the start (resume point 0) into a zeroed buffer of `bufferBytes`:
  // the entries that fit, and kMoreData with the bytes the remaining entries need when not all
  // did.
  virtual Status EnumerateServices(ServiceHandle manager, std::uint32_t serviceType,
                                   std::uint32_t serviceState, std::uint32_t bufferBytes,
                                   std::vector<ServiceEntry>& entries,
                                   std::uint32_t& bytesNeeded) = 0;
  // CreateServiceW.
  virtual Status Create(ServiceHandle manager, const ServiceRegistration& registration,
                        ServiceHandle& service) = 0;
  // DeleteService: marks the service for deletion.
  virtual Status Delete(ServiceHandle service) = 0;
  // CloseServiceHandle of a manager or service handle.
  virtual Status CloseHandle(ServiceHandle handle) = 0;
};

}  // namespace nebrin::platform
