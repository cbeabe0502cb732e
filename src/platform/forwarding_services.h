// Services that hand every call through to another object of the same service: derive from one
// and override only the calls a host, a test or a benchmark watches (a program started, the
// service list read, a sharing switch).
#pragma once

#include "platform/network_connections.h"
#include "platform/processes.h"
#include "platform/service_manager.h"

namespace nebrin::platform {

class ForwardingProcesses : public Processes {
 public:
  explicit ForwardingProcesses(Processes& inner) : inner_(inner) {}

  Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override {
    return inner_.EnumerateProcesses(ids);
  }
  Status OpenProcess(std::uint32_t access, std::uint32_t id, ProcessHandle& process) override {
    return inner_.OpenProcess(access, id, process);
  }
  Status FirstModule(ProcessHandle process, ModuleHandle& module) override {
    return inner_.FirstModule(process, module);
  }
  Status ModuleBaseName(ProcessHandle process, ModuleHandle module, std::uint32_t capacity,
                        std::u16string& name) override {
    return inner_.ModuleBaseName(process, module, capacity, name);
  }
  Status SystemDirectory(std::u16string& path) override { return inner_.SystemDirectory(path); }
  Status StartProcess(std::u16string_view application, std::u16string_view commandLine,
                      std::uint32_t showCommand, ProcessHandle& process,
                      ProcessHandle& thread) override {
    return inner_.StartProcess(application, commandLine, showCommand, process, thread);
  }
  std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) override {
    return inner_.Wait(process, milliseconds);
  }
  Status CloseHandle(ProcessHandle handle) override { return inner_.CloseHandle(handle); }

 private:
  Processes& inner_;
};

class ForwardingServiceManager : public ServiceManager {
 public:
  explicit ForwardingServiceManager(ServiceManager& inner) : inner_(inner) {}

  Status OpenManager(std::u16string_view database, std::uint32_t access,
                     ServiceHandle& manager) override {
    return inner_.OpenManager(database, access, manager);
  }
  Status Open(ServiceHandle manager, std::u16string_view name, std::uint32_t access,
              ServiceHandle& service) override {
    return inner_.Open(manager, name, access, service);
  }
  Status Start(ServiceHandle service) override { return inner_.Start(service); }
  Status Control(ServiceHandle service, std::uint32_t control, ServiceStatus& status) override {
    return inner_.Control(service, control, status);
  }
  Status QueryServicesSize(ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t& bytesNeeded) override {
    return inner_.QueryServicesSize(manager, serviceType, serviceState, bytesNeeded);
  }
  Status EnumerateServices(ServiceHandle manager, std::uint32_t serviceType,
                           std::uint32_t serviceState, std::uint32_t bufferBytes,
                           std::vector<ServiceEntry>& entries,
                           std::uint32_t& bytesNeeded) override {
    return inner_.EnumerateServices(manager, serviceType, serviceState, bufferBytes, entries,
                                    bytesNeeded);
  }
  Status Create(ServiceHandle manager, const ServiceRegistration& registration,
                ServiceHandle& service) override {
    return inner_.Create(manager, registration, service);
  }
  Status Delete(ServiceHandle service) override { return inner_.Delete(service); }
  Status CloseHandle(ServiceHandle handle) override { return inner_.CloseHandle(handle); }

 private:
  ServiceManager& inner_;
};

class ForwardingConnections : public NetworkConnections {
 public:
  explicit ForwardingConnections(NetworkConnections& inner) : inner_(inner) {}

  HResult CreateSharingManager(ComRef& manager) override {
    return inner_.CreateSharingManager(manager);
  }
  HResult EnumEveryConnection(ComRef manager, ComRef& collection) override {
    return inner_.EnumEveryConnection(manager, collection);
  }
  HResult NewEnum(ComRef collection, ComRef& enumerator) override {
    return inner_.NewEnum(collection, enumerator);
  }
  HResult Next(ComRef enumerator, ComRef& connection) override {
    return inner_.Next(enumerator, connection);
  }
  HResult Reset(ComRef enumerator) override { return inner_.Reset(enumerator); }
  HResult ConnectionProps(ComRef manager, ComRef connection, ComRef& props) override {
    return inner_.ConnectionProps(manager, connection, props);
  }
  HResult Guid(ComRef props, std::u16string& guid) override { return inner_.Guid(props, guid); }
  HResult Name(ComRef props, std::u16string& name) override { return inner_.Name(props, name); }
  HResult Status(ComRef props, std::uint32_t& status) override {
    return inner_.Status(props, status);
  }
  HResult SharingConfiguration(ComRef manager, ComRef connection, ComRef& configuration) override {
    return inner_.SharingConfiguration(manager, connection, configuration);
  }
  HResult SharingEnabled(ComRef configuration, bool& enabled) override {
    return inner_.SharingEnabled(configuration, enabled);
  }
  HResult SharingConnectionType(ComRef configuration, SharingType& type) override {
    return inner_.SharingConnectionType(configuration, type);
  }
  HResult DisableSharing(ComRef configuration) override {
    return inner_.DisableSharing(configuration);
  }
  HResult EnableSharing(ComRef configuration, SharingType type) override {
    return inner_.EnableSharing(configuration, type);
  }
  HResult InternetFirewallEnabled(ComRef configuration, bool& enabled) override {
    return inner_.InternetFirewallEnabled(configuration, enabled);
  }
  HResult EnableInternetFirewall(ComRef configuration) override {
    return inner_.EnableInternetFirewall(configuration);
  }
  HResult DisableInternetFirewall(ComRef configuration) override {
    return inner_.DisableInternetFirewall(configuration);
  }

 private:
  NetworkConnections& inner_;
};

}  // namespace nebrin::platform
