// The platform on Linux when no host installed one: Linux has no registry, adapter list, Windows
// system information, sharing manager, spooler, message box, command runner, Windows services,
// shell folders, companion driver or network configuration objects, so those services answer
// with failures (the service manager as an empty database); text conversion (Linux's code page
// is UTF-8), raw ICMP sockets, the Internet client (libcurl) and the clock are real.
#include <unistd.h>

#include <memory>

#include "platform/native/curl_internet.h"
#include "platform/native/iconv_text.h"
#include "platform/native/native_clock.h"
#include "platform/native/native_files.h"
#include "platform/native/native_processes.h"
#include "platform/native/native_sockets.h"
#include "platform/platform.h"

namespace nebrin::platform {
namespace {

constexpr std::uint32_t kUtf8 = 65001;

class NativeRegistry final : public Registry {
 public:
  Status OpenKey(KeyHandle, const std::u16string&, Access, KeyHandle&) override {
    return kCallNotImplemented;
  }
  Status CreateKey(KeyHandle, const std::u16string&, Access, KeyHandle&, bool&) override {
    return kCallNotImplemented;
  }
  void CloseKey(KeyHandle) override {}
  Status QueryValue(KeyHandle, const std::u16string&, RegType&, void*, std::uint32_t&) override {
    return kCallNotImplemented;
  }
  Status SetValue(KeyHandle, const std::u16string&, RegType, const void*, std::uint32_t) override {
    return kCallNotImplemented;
  }
  Status DeleteValue(KeyHandle, const std::u16string&) override { return kCallNotImplemented; }
  Status DeleteKey(KeyHandle, const std::u16string&) override { return kCallNotImplemented; }
  Status EnumKey(KeyHandle, std::uint32_t, std::u16string&) override {
    return kCallNotImplemented;
  }
  Status EnumValue(KeyHandle, std::uint32_t, std::u16string&) override {
    return kCallNotImplemented;
  }
};

class NativeAdapterList final : public AdapterList {
 public:
  Status QuerySize(std::uint32_t&) override { return kNotSupported; }
  Status Fill(std::uint32_t, std::vector<AdapterListEntry>&) override { return kNotSupported; }
};

class NativeSystemInfo final : public SystemInfo {
 public:
  Status GetVersion(OsVersion&) override { return kCallNotImplemented; }
  int GetSystemMetric(int) override { return 0; }
  std::uint32_t AnsiCodePage() override { return kUtf8; }
  std::uint32_t OemCodePage() override { return kUtf8; }
  std::uint32_t CurrentProcessId() override { return static_cast<std::uint32_t>(getpid()); }
};

class NativeTextCodec final : public TextCodec {
 public:
  Status ToWide(CodePage, std::string_view text, std::u16string& wide) override {
    return native::BytesToWide(kUtf8, text, wide);
  }
  Status ToNarrow(CodePage, std::u16string_view wide, std::string& text) override {
    return native::WideToBytes(kUtf8, wide, text);
  }
};

// No sharing manager is registered on Linux: it cannot be created, so no other call is reached
// with an object.
class NativeConnections final : public NetworkConnections {
 public:
  HResult CreateSharingManager(ComRef&) override { return kClassNotRegistered; }
  HResult EnumEveryConnection(ComRef, ComRef&) override { return kENotImpl; }
  HResult NewEnum(ComRef, ComRef&) override { return kENotImpl; }
  HResult Next(ComRef, ComRef&) override { return kENotImpl; }
  HResult Reset(ComRef) override { return kENotImpl; }
  HResult ConnectionProps(ComRef, ComRef, ComRef&) override { return kENotImpl; }
  HResult Guid(ComRef, std::u16string&) override { return kENotImpl; }
  HResult Name(ComRef, std::u16string&) override { return kENotImpl; }
  HResult Status(ComRef, std::uint32_t&) override { return kENotImpl; }
  HResult SharingConfiguration(ComRef, ComRef, ComRef&) override { return kENotImpl; }
  HResult SharingEnabled(ComRef, bool&) override { return kENotImpl; }
  HResult SharingConnectionType(ComRef, SharingType&) override { return kENotImpl; }
  HResult DisableSharing(ComRef) override { return kENotImpl; }
  HResult EnableSharing(ComRef, SharingType) override { return kENotImpl; }
  HResult InternetFirewallEnabled(ComRef, bool&) override { return kENotImpl; }
  HResult EnableInternetFirewall(ComRef) override { return kENotImpl; }
  HResult DisableInternetFirewall(ComRef) override { return kENotImpl; }
};

class NativeSpooler final : public Spooler {
 public:
  Status EnumeratePrinters(std::uint32_t, std::vector<std::u16string>&) override {
    return kCallNotImplemented;
  }
  Status GetDefaultPrinter(std::uint32_t, std::u16string&) override { return kCallNotImplemented; }
  Status SetDefaultPrinter(std::u16string_view) override { return kCallNotImplemented; }
};

// Linux has no COM: initialisation fails, so nothing is uninitialised, and no service hands out a
// reference to release.
class NativeCom final : public Com {
 public:
  HResult Initialize() override { return kENotImpl; }
  void Uninitialize() override {}
  HResult InitializeSecurity() override { return kENotImpl; }
  void Release(ComRef) override {}
};

// Linux has no desktop to show a message box on.
class NativeDialogs final : public Dialogs {
 public:
  int ShowMessage(std::u16string_view, std::u16string_view, std::uint32_t) override { return 0; }
};

// Linux runs no Windows programs (every command line is "file not found") and has no shell
// folders or shell path functions.
class NativeShell final : public Shell {
 public:
  std::uint32_t WinExec(std::string_view, std::uint32_t) override { return kFileNotFound; }
  HResult FolderPath(int, std::uint32_t, std::u16string&) override { return kENotImpl; }
  bool AppendPath(std::u16string&, std::u16string_view) override { return false; }
};

// Linux has no Windows services: its service manager stands for an empty database. It opens,
// lists nothing and knows no service (ERROR_SERVICE_DOES_NOT_EXIST), so the members that open a
// service answer as on a system without it; registering a service is not possible.
class NativeServiceManager final : public ServiceManager {
 public:
  Status OpenManager(std::u16string_view database, std::uint32_t, ServiceHandle& manager) override {
    if (!database.empty() && database != kServicesActiveDatabase) return kDatabaseDoesNotExist;
    manager = kManager;
    return kSuccess;
  }
  Status Open(ServiceHandle manager, std::u16string_view, std::uint32_t, ServiceHandle&) override {
    return manager == kManager ? kServiceDoesNotExist : kInvalidHandle;
  }
  Status Start(ServiceHandle) override { return kInvalidHandle; }
  Status Control(ServiceHandle, std::uint32_t, ServiceStatus&) override { return kInvalidHandle; }
  Status QueryServicesSize(ServiceHandle manager, std::uint32_t, std::uint32_t,
                           std::uint32_t& bytesNeeded) override {
    if (manager != kManager) return kInvalidHandle;
    bytesNeeded = 0;
    return kSuccess;
  }
  Status EnumerateServices(ServiceHandle manager, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::vector<ServiceEntry>& entries,
                           std::uint32_t& bytesNeeded) override {
    if (manager != kManager) return kInvalidHandle;
    entries.clear();
    bytesNeeded = 0;
    return kSuccess;
  }
  Status Create(ServiceHandle, const ServiceRegistration&, ServiceHandle&) override {
    return kCallNotImplemented;
  }
  Status Delete(ServiceHandle) override { return kInvalidHandle; }
  Status CloseHandle(ServiceHandle handle) override {
    return handle == kManager ? kSuccess : kInvalidHandle;
  }

 private:
  // The one handle it hands out: the empty database holds nothing to close.
  static constexpr ServiceHandle kManager = 1;
};

// No companion driver runs on Linux: its device is not found, and no handle is ever handed out.
class NativeDeviceIo final : public DeviceIo {
 public:
  Status OpenDevice(std::u16string_view, Disposition, DeviceHandle&) override {
    return kFileNotFound;
  }
  Status Control(DeviceHandle, std::uint32_t, const std::vector<std::uint8_t>&) override {
    return kInvalidHandle;
  }
  Status CloseDevice(DeviceHandle) override { return kInvalidHandle; }
};

// Linux has no network configuration objects and no store of setup files.
class NativeNetworkConfig final : public NetworkConfig {
 public:
  HResult CreateNetCfg(ComRef&) override { return kClassNotRegistered; }
  HResult QueryLock(ComRef, ComRef&) override { return kENotImpl; }
  HResult AcquireWriteLock(ComRef, std::uint32_t, std::u16string_view, std::u16string&) override {
    return kENotImpl;
  }
  HResult ReleaseWriteLock(ComRef) override { return kENotImpl; }
  HResult Initialize(ComRef) override { return kENotImpl; }
  HResult Uninitialize(ComRef) override { return kENotImpl; }
  HResult Apply(ComRef) override { return kENotImpl; }
  HResult QueryProtocolClassSetup(ComRef, ComRef&) override { return kENotImpl; }
  HResult Install(ComRef, std::u16string_view, ComRef&) override { return kENotImpl; }
  Status CopySetupFile(std::u16string_view, std::u16string&) override {
    return kCallNotImplemented;
  }
};

// Linux has no Network Connections folder; nothing is ever allocated for an item.
class NativeConnectionsFolder final : public ConnectionsFolder {
 public:
  HResult CreateFolder(ComRef&) override { return kClassNotRegistered; }
  HResult ParseDisplayName(ComRef, std::u16string_view, ItemIdList&) override { return kENotImpl; }
  HResult GetContextMenu(ComRef, ItemIdList, ComRef&) override { return kENotImpl; }
  HResult InvokeCommand(ComRef, std::uint16_t) override { return kENotImpl; }
  HResult GetMalloc(ComRef&) override { return kENotImpl; }
  void Free(ComRef, ItemIdList) override {}
  void FreeTaskMemory(ItemIdList) override {}
};

// Linux has no named mutexes shared with Windows programs; with no registry there is no store to
// guard either.
class NativeMutexes final : public Mutexes {
 public:
  Status Create(const std::u16string&, MutexHandle& mutex) override {
    mutex = kNoMutex;
    return kCallNotImplemented;
  }
  std::uint32_t Wait(MutexHandle, std::uint32_t, Status& error) override {
    error = kInvalidHandle;
    return kWaitFailed;
  }
  Status Release(MutexHandle) override { return kInvalidHandle; }
  void Close(MutexHandle) override {}
};

class NativePlatform final : public Platform {
 public:
  Registry& registry() override { return registry_; }
  AdapterList& adapters() override { return adapters_; }
  SystemInfo& system() override { return system_; }
  TextCodec& text() override { return text_; }
  Sockets& sockets() override { return sockets_; }
  InternetClient& internet() override { return internet_; }
  NetworkConnections& connections() override { return connections_; }
  Spooler& spooler() override { return spooler_; }
  Shell& shell() override { return shell_; }
  Clock& clock() override { return clock_; }
  Processes& processes() override { return processes_; }
  Files& files() override { return files_; }
  Com& com() override { return com_; }
  Dialogs& dialogs() override { return dialogs_; }
  ServiceManager& serviceManager() override { return services_; }
  ConnectionsFolder& connectionsFolder() override { return folder_; }
  DeviceIo& deviceIo() override { return devices_; }
  NetworkConfig& networkConfig() override { return netcfg_; }
  Mutexes& mutexes() override { return mutexes_; }

 private:
  NativeRegistry registry_;
  NativeAdapterList adapters_;
  NativeSystemInfo system_;
  NativeTextCodec text_;
  native::NativeSockets sockets_;
  native::CurlInternetClient internet_;
  NativeConnections connections_;
  NativeSpooler spooler_;
  NativeShell shell_;
  native::NativeClock clock_;
  native::NativeProcesses processes_;
  native::NativeFiles files_;
  NativeCom com_;
  NativeDialogs dialogs_;
  NativeServiceManager services_;
  NativeConnectionsFolder folder_;
  NativeDeviceIo devices_;
  NativeNetworkConfig netcfg_;
  NativeMutexes mutexes_;
};

}  // namespace

std::shared_ptr<Platform> MakeDefaultPlatform() { return std::make_shared<NativePlatform>(); }

}  // namespace nebrin::platform
