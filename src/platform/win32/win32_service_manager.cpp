#include "platform/win32/win32_service_manager.h"

#include <windows.h>
#include <winsvc.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace nebrin::platform::win32 {
namespace {

SC_HANDLE ToHandle(ServiceHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ServiceHandle FromHandle(SC_HANDLE handle) { return reinterpret_cast<ServiceHandle>(handle); }

Status LastError() { return static_cast<Status>(GetLastError()); }

ServiceStatus ToStatus(const SERVICE_STATUS& status) {
  return ServiceStatus{status.dwServiceType,
                       status.dwCurrentState,
                       status.dwControlsAccepted,
                       status.dwWin32ExitCode,
                       status.dwServiceSpecificExitCode,
                       status.dwCheckPoint,
                       status.dwWaitHint};
}

}  // namespace

Status Win32ServiceManager::OpenManager(std::u16string_view database, std::uint32_t access,
                                        ServiceHandle& manager) {
  const std::wstring name = ToWin(database);
  SC_HANDLE opened = OpenSCManagerW(nullptr, database.empty() ? nullptr : name.c_str(), access);
  if (opened == nullptr) return LastError();
  manager = FromHandle(opened);
  return kSuccess;
}

Status Win32ServiceManager::Open(ServiceHandle manager, std::u16string_view name,
                                 std::uint32_t access, ServiceHandle& service) {
  const std::wstring text = ToWin(name);
  SC_HANDLE opened = OpenServiceW(ToHandle(manager), text.c_str(), access);
  if (opened == nullptr) return LastError();
  service = FromHandle(opened);
  return kSuccess;
}

Status Win32ServiceManager::Start(ServiceHandle service) {
  return StartServiceW(ToHandle(service), 0, nullptr) ? kSuccess : LastError();
}

Status Win32ServiceManager::Control(ServiceHandle service, std::uint32_t control,
                                    ServiceStatus& status) {
  SERVICE_STATUS reported{};
  const bool sent = ControlService(ToHandle(service), control, &reported) != FALSE;
  const Status result = sent ? kSuccess : LastError();
  status = ToStatus(reported);
  return result;
}

Status Win32ServiceManager::QueryServicesSize(ServiceHandle manager, std::uint32_t serviceType,
                                              std::uint32_t serviceState,
                                              std::uint32_t& bytesNeeded) {
  DWORD needed = 0;
  DWORD returned = 0;
  DWORD resume = 0;
  const bool listed = EnumServicesStatusW(ToHandle(manager), serviceType, serviceState, nullptr, 0,
                                          &needed, &returned, &resume) != FALSE;
  bytesNeeded = needed;
  return listed ? kSuccess : LastError();
}

Status Win32ServiceManager::EnumerateServices(ServiceHandle manager, std::uint32_t serviceType,
                                              std::uint32_t serviceState, std::uint32_t bufferBytes,
                                              std::vector<ServiceEntry>& entries,
                                              std::uint32_t& bytesNeeded) {
  // Zeroed, and aligned for the records at its start (the strings follow them).
  std::vector<ENUM_SERVICE_STATUSW> buffer((bufferBytes + sizeof(ENUM_SERVICE_STATUSW) - 1) /
                                           sizeof(ENUM_SERVICE_STATUSW));
  DWORD needed = 0;
  DWORD returned = 0;
  DWORD resume = 0;
  const bool listed = EnumServicesStatusW(ToHandle(manager), serviceType, serviceState,
                                          buffer.empty() ? nullptr : buffer.data(), bufferBytes,
                                          &needed, &returned, &resume) != FALSE;
  const Status result = listed ? kSuccess : LastError();
  bytesNeeded = needed;
  entries.clear();
  if (result != kSuccess && result != kMoreData) return result;
  for (DWORD i = 0; i < returned; ++i) {
    const ENUM_SERVICE_STATUSW& entry = buffer[i];
    entries.push_back(ServiceEntry{
        entry.lpServiceName != nullptr ? FromWin(entry.lpServiceName) : std::u16string(),
        entry.lpDisplayName != nullptr ? FromWin(entry.lpDisplayName) : std::u16string(),
        ToStatus(entry.ServiceStatus)});
  }
  return result;
}

Status Win32ServiceManager::Create(ServiceHandle manager, const ServiceRegistration& registration,
                                   ServiceHandle& service) {
  const std::wstring name = ToWin(registration.serviceName);
  const std::wstring display = ToWin(registration.displayName);
  const std::wstring path = ToWin(registration.binaryPath);
  SC_HANDLE created =
      CreateServiceW(ToHandle(manager), name.c_str(), display.c_str(), registration.desiredAccess,
                     registration.serviceType, registration.startType, registration.errorControl,
                     path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  if (created == nullptr) return LastError();
  service = FromHandle(created);
  return kSuccess;
}

Status Win32ServiceManager::Delete(ServiceHandle service) {
  return ::DeleteService(ToHandle(service)) ? kSuccess : LastError();
}

Status Win32ServiceManager::CloseHandle(ServiceHandle handle) {
  return CloseServiceHandle(ToHandle(handle)) ? kSuccess : LastError();
}

}  // namespace nebrin::platform::win32
