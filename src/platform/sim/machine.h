// A simulated Windows machine of the NT 5.1 generation: registry hives with Windows' key
// semantics, an adapter list that agrees with the adapters' registry keys, system information
// and code pages, a network of hosts and URLs, the sharing manager's connections with their
// sharing roles and firewalls, a spooler, a command runner, message boxes, a virtual clock, a
// service control manager, the shell's folders, the companion protocol driver with the wireless
// adapters' 802.11 state, and the network configuration with its store of setup files. It
// implements every platform service, counts the calls and open handles, and can make a chosen
// call fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/driver_model.h"
#include "platform/sim/mutex_model.h"
#include "platform/sim/netcfg_model.h"
#include "platform/sim/process_model.h"
#include "platform/sim/service_model.h"
#include "platform/sim/shell_model.h"
#include "platform/sim/wireless_model.h"

namespace nebrin::sim {

using platform::RegType;
using platform::Status;

// The services whose calls are counted and can be made to fail.
enum class Service {
  Registry,
  AdapterList,
  SystemInfo,
  TextCodec,
  Sockets,
  Internet,
  Connections,
  Spooler,
  Shell,
  Clock,
  Processes,
  Files,
  Com,
  Dialogs,
  ServiceManager,
  ConnectionsFolder,
  DeviceIo,
  NetworkConfig,
  Mutexes,
};
inline constexpr int kServiceCount = 19;
const char* ServiceName(Service service);

// A damaged or unreadable machine file; what() names the file and the problem.
class MachineFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Machine files larger or more deeply nested than this are refused before they are read further.
// A registry key nests at most 512 deep on Windows and takes two levels of the document each.
inline constexpr std::size_t kMachineFileMaxBytes = 64u * 1024 * 1024;
inline constexpr int kMachineFileMaxDepth = 1100;

// One registry value as stored: its type and its bytes, exactly as written.
struct RegValue {
  RegType type = RegType::None;
  std::vector<std::uint8_t> bytes;

  static RegValue String(std::string_view utf8);            // REG_SZ with one terminating NUL
  static RegValue MultiString(const std::vector<std::string>& utf8);  // REG_MULTI_SZ
  static RegValue Dword(std::uint32_t value);
};

struct SystemState {
  platform::OsVersion version{5, 1, 2600, 2, u"Service Pack 2"};
  bool tabletPc = false;
  std::uint32_t ansiCodePage = 1252;
  std::uint32_t oemCodePage = 437;
  bool administrator = true;  // writes to HKEY_LOCAL_MACHINE are refused without it
  std::uint32_t processId = 0x0A74;  // GetCurrentProcessId of the host's process
};

// An entry of the adapter list. Its addresses are not kept here: the list reads them from the
// adapter's TCP/IP interface key when it is filled ("EnableDHCP", then the Dhcp* values or the
// static ones), as Windows does.
struct ListedAdapter {
  std::string guid;  // "{...}"
  std::string description;
  std::uint32_t index = 0;
  std::uint32_t type = 6;  // 6 Ethernet, 71 IEEE 802.11
  std::string primaryWins;
  std::string secondaryWins;
};

// Everything needed to add a consistent adapter: list entry, TCP/IP interface key, network
// connection key and Enum key.
struct AdapterSpec {
  ListedAdapter listed;
  std::string connectionName;          // connection key "Name"
  std::string pnpInstanceId;           // connection key "PnpInstanceID", names the Enum key
  std::string service;                 // Enum key "Service"
  std::string deviceDesc;              // Enum key "DeviceDesc"
  std::optional<std::uint32_t> mediaSubType = 1;  // connection key "MediaSubType"
  bool dhcp = false;
  // Static settings: "IPAddress", "SubnetMask", "DefaultGateway" (REG_MULTI_SZ), "NameServer"
  // (comma-separated REG_SZ), "InterfaceMetric" (REG_DWORD, when set).
  std::vector<std::string> ipAddresses;
  std::vector<std::string> subnetMasks;
  std::vector<std::string> gateways;
  std::string nameServers;
  std::optional<std::uint32_t> metric;
  // DHCP lease: "DhcpIPAddress", "DhcpSubnetMask", "DhcpDefaultGateway", "DhcpNameServer"
  // (space-separated), "DhcpServer". No lease: the adapter has address 0.0.0.0.
  struct Lease {
    std::string address;
    std::string mask;
    std::string gateway;
    std::string nameServers;
    std::string server;
  };
  std::optional<Lease> lease;
};

// A host on the simulated network. Echo requests to it are answered by the pattern `replies`,
// one character per request a socket sends it, starting over at its end: '+' answers, '-' stays
// silent, '~' stays silent while another host's echo reply reaches the socket. An empty pattern
// never answers. Loopback addresses (127.x.x.x) always answer; every other address is silent.
struct SimHost {
  std::string address;             // dotted IPv4 address
  std::vector<std::string> names;  // host names that resolve to it (case-insensitive)
  std::string replies = "+";
};

// A URL the simulated Internet client knows: it opens, or its server cannot be reached. URLs not
// listed do not resolve; schemes other than http, https and ftp are not recognised.
struct SimUrl {
  std::string url;
  bool opens = true;
};

struct NetworkState {
  // Echo requests, name resolution, URL probes and the clock go to Linux's real services
  // (raw sockets need root or CAP_NET_RAW) instead of the simulated network and virtual clock.
  bool real = false;
  std::vector<SimHost> hosts;
  std::vector<SimUrl> urls;
};

// A connection's role in the system's connection sharing: at most one public connection (the one
// facing the internet) and one private connection (serving the home network) on a machine.
enum class SharingRole { None, Public, Private };

// The system's sharing service, which carries out the sharing manager's sharing and firewall
// changes. A stopped one is started by the first change that needs it; a disabled one cannot be,
// so such a change is refused.
enum class SharingServiceState { Running, Stopped, Disabled };

// A network connection as the sharing manager enumerates it.
struct SimConnection {
  std::string name;        // INetConnectionProps::Name
  std::string guid;        // INetConnectionProps::Guid, "{...}"
  std::uint32_t status = 2;  // NETCON_STATUS: 0 disconnected, 2 connected, 7 media disconnected
  std::string deviceName;  // INetConnectionProps::DeviceName
  SharingRole sharing = SharingRole::None;
  bool firewall = false;  // the connection firewall is on
  // Another machine shares its connection on this connection's network: when the network shell
  // puts the adapter on DHCP without a lease of `ProcessState::leases`, that host's DHCP
  // allocator leases it an address of 192.168.0.0/24.
  bool servedBySharingHost = true;
};

// A message box the library showed; the simulated user closes it with OK at once.
struct ShownMessage {
  std::string text;
  std::string caption;
  std::uint32_t type = 0;  // MB_* flags
};

// A command line given to WinExec, with the show command it came with (5: SW_SHOW).
struct CommandRun {
  std::string commandLine;
  std::uint32_t showCommand = 5;
};

struct PrinterState {
  std::vector<std::string> installed;        // in the spooler's order
  std::optional<std::string> defaultPrinter;  // none: no default printer is set
};

inline constexpr platform::KeyHandle kHkcu = platform::kCurrentUser;
inline constexpr platform::KeyHandle kHklm = platform::kLocalMachine;

// Registry paths of an adapter's keys under HKEY_LOCAL_MACHINE.
std::string TcpipInterfaceKey(std::string_view guid);
std::string ConnectionKey(std::string_view guid);
std::string EnumKey(std::string_view pnpInstanceId);

class Machine final : public platform::Platform {
 public:
  // A bare machine: NT 5.1 SP2, empty hives, no adapters, administrative rights.
  Machine();
  ~Machine() override;
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The demo machine: a wired DHCP adapter with a lease, a wireless adapter with static
  // addresses, a root-enumerated virtual adapter and a Bluetooth network adapter.
  static std::shared_ptr<Machine> Demo();

  // Machine files (JSON). Load throws MachineFileError; Save writes a temporary file beside the
  // target (a symlink's target) with the target's mode and owner (0600 for a new file) and
  // renames it over the target, and throws MachineFileError when it cannot, leaving it as it was.
  static std::shared_ptr<Machine> Load(const std::filesystem::path& file);
  void Save(const std::filesystem::path& file) const;
  // The file a save of `file` replaces: `file` with its symlinks followed.
  static std::filesystem::path SavedPath(const std::filesystem::path& file);
  // Removes the temporary files that saves of `file` killed part-way left beside it: ours (named
  // as a save names them, regular files of this user) and stale (their process is gone, or they
  // are over an hour old). Call it holding the machine file's lock. Returns how many went.
  static int RemoveStaleTemporaries(const std::filesystem::path& file);
  std::string ToJsonText() const;
  static std::shared_ptr<Machine> FromJsonText(std::string_view text);  // throws std::runtime_error

  // --- direct access for tests and builders: not counted, never failed by a fault plan ---
  SystemState& system_state();
  const SystemState& system_state() const;
  std::vector<ListedAdapter>& listed_adapters();
  const std::vector<ListedAdapter>& listed_adapters() const;
  void AddAdapter(const AdapterSpec& spec);
  NetworkState& network();
  const NetworkState& network() const;
  std::vector<SimConnection>& network_connections();
  const std::vector<SimConnection>& network_connections() const;
  SharingServiceState& sharing_service();
  SharingServiceState sharing_service() const;
  PrinterState& printers();
  const PrinterState& printers() const;
  // The command lines given to WinExec and their show commands, oldest first.
  std::vector<CommandRun>& commands_run();
  const std::vector<CommandRun>& commands_run() const;
  // The message boxes shown, oldest first.
  std::vector<ShownMessage>& messages_shown();
  const std::vector<ShownMessage>& messages_shown() const;
  // The virtual clock (GetTickCount); Sleep and receive time-outs advance it.
  std::uint32_t tick_count() const;
  void set_tick_count(std::uint32_t ticks);
  // The process table, the programs process creation can start, the DHCP leases the network
  // shell hands out and what it printed; and the files written through the file service.
  ProcessState& process_state();
  const ProcessState& process_state() const;
  FileState& file_state();
  const FileState& file_state() const;
  // The service database, the shell's Program Files folder and the commands invoked in the
  // Network Connections folder, and the wireless adapters' 802.11 state.
  ServiceTable& service_table();
  const ServiceTable& service_table() const;
  ShellState& shell_state();
  const ShellState& shell_state() const;
  WirelessState& wireless_state();
  const WirelessState& wireless_state() const;
  // The requests that reached the companion protocol driver, and the network configuration: the
  // write lock another client holds, the installed components and the store of setup files.
  DriverState& driver_state();
  const DriverState& driver_state() const;
  NetCfgState& network_configuration();
  const NetCfgState& network_configuration() const;
  // The session's named mutexes: who holds each, and the names CreateMutexW is refused.
  MutexState& mutex_state();
  const MutexState& mutex_state() const;

  // Paths are backslash-separated below a root (kHkcu or kHklm), names case-insensitive as on
  // Windows. Setting a value creates the missing keys.
  void SetValue(platform::KeyHandle root, std::string_view path, std::string_view name,
                RegValue value);
  void SetString(platform::KeyHandle root, std::string_view path, std::string_view name,
                 std::string_view utf8);
  void SetDword(platform::KeyHandle root, std::string_view path, std::string_view name,
                std::uint32_t value);
  void CreateKeyPath(platform::KeyHandle root, std::string_view path);
  std::optional<RegValue> GetValue(platform::KeyHandle root, std::string_view path,
                                   std::string_view name) const;
  // The text of a string value (up to its first NUL), if the value exists and is a string type.
  std::optional<std::string> GetString(platform::KeyHandle root, std::string_view path,
                                       std::string_view name) const;
  bool KeyExists(platform::KeyHandle root, std::string_view path) const;
  // Subkey and value names of a key, in enumeration order (empty when the key is missing).
  std::vector<std::string> SubkeyNames(platform::KeyHandle root, std::string_view path) const;
  std::vector<std::string> ValueNames(platform::KeyHandle root, std::string_view path) const;
  bool RemoveValue(platform::KeyHandle root, std::string_view path, std::string_view name);
  bool RemoveKeyTree(platform::KeyHandle root, std::string_view path);

  // Registry writes: calls that changed a hive (a value set or deleted, a key created or deleted),
  // counted from the machine's start. The observer, when set, is called after each with the count
  // so far, with the registry as the write left it: a crash test copies the machine there.
  std::uint64_t RegistryWrites() const;
  void ObserveRegistryWrites(std::function<void(std::uint64_t)> observer);

  // --- fault injection and accounting ---
  // Makes the n-th counted call (1-based) overall, or the n-th call of one service, fail with
  // `error`. A failing call changes nothing. ClearFaults() removes every plan.
  void FailCall(std::uint64_t n, Status error);
  void FailServiceCall(Service service, std::uint64_t n, Status error);
  void ClearFaults();
  std::uint64_t CallCount() const;
  std::uint64_t CallCount(Service service) const;
  void ResetCounts();
  // Registry keys, sockets, Internet handles, Winsock start-ups, process, thread, file,
  // service-manager and device handles, COM initialisations, interface references and item
  // identifiers of the shell's allocator obtained through the services and not yet released.
  std::size_t OpenHandles() const;
  // The echo requests (ICMP messages) sent through the simulated network, oldest first, and the
  // addresses they went to.
  struct SentEcho {
    std::string to;
    std::vector<std::uint8_t> message;
  };
  const std::vector<SentEcho>& EchoRequestsSent() const;
  // The service-manager and service handles the service manager handed out, oldest first: the
  // database, the service and the access each was opened with.
  const std::vector<ServiceHandleOpened>& ServiceHandlesOpened() const;
  // COM on the host's thread: a thread in the multithreaded apartment answers CoInitialize with
  // RPC_E_CHANGED_MODE. Misuses are uninitialisations without a matching initialisation and
  // releases of references not held; tests expect none.
  void set_thread_in_multithreaded_apartment(bool multithreaded);
  std::size_t ComApartmentDepth() const;
  std::size_t ComReferencesHeld() const;
  std::size_t ComMisuses() const;
  // Winsock: WSACleanup calls without a successful WSAStartup left to end. Tests expect none.
  std::size_t WinsockMisuses() const;

  // --- platform::Platform ---
  platform::Registry& registry() override;
  platform::AdapterList& adapters() override;
  platform::SystemInfo& system() override;
  platform::TextCodec& text() override;
  platform::Sockets& sockets() override;
  platform::InternetClient& internet() override;
  platform::NetworkConnections& connections() override;
  platform::Spooler& spooler() override;
  platform::Shell& shell() override;
  platform::Clock& clock() override;
  platform::Processes& processes() override;
  platform::Files& files() override;
  platform::Com& com() override;
  platform::Dialogs& dialogs() override;
  platform::ServiceManager& serviceManager() override;
  platform::ConnectionsFolder& connectionsFolder() override;
  platform::DeviceIo& deviceIo() override;
  platform::NetworkConfig& networkConfig() override;
  platform::Mutexes& mutexes() override;

  struct State;  // the model behind the services

 private:
  std::unique_ptr<State> state_;
};

}  // namespace nebrin::sim
