// The service manager over OpenSCManagerW, OpenServiceW, StartServiceW, ControlService,
// EnumServicesStatusW, CreateServiceW, DeleteService and CloseServiceHandle.
#pragma once

#include "platform/service_manager.h"

namespace nebrin::platform::win32 {

class Win32ServiceManager final : public ServiceManager {
 public:
  Status OpenManager(std::u16string_view database, std::uint32_t access,
                     ServiceHandle& manager) override;
  Status Open(ServiceHandle manager, std::u16string_view name, std::uint32_t access,
              ServiceHandle& service) override;
  Status Start(ServiceHandle service) override;
  Status Control(ServiceHandle service, std::uint32_t control, ServiceStatus& status) override;
  Status QueryServicesSize(ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t& bytesNeeded) override;
  Status EnumerateServices(ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t bufferBytes,
                           std::vector<ServiceEntry>& entries, std::uint32_t& bytesNeeded) override;
  Status Create(ServiceHandle manager, const ServiceRegistration& registration,
                ServiceHandle& service) override;
  Status Delete(ServiceHandle service) override;
  Status CloseHandle(ServiceHandle handle) override;
};

}  // namespace nebrin::platform::win32
