// The model behind a simulated machine's services: system state, adapter list, the two hives, the
// network, connections, printers, commands run, the virtual clock, the open key handles, sockets
// and Internet handles, the service table, the shell and wireless state, the companion driver and
// the network configuration, and the call accounting.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/call_accounting.h"
#include "platform/sim/key_tree.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_adapter_list.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_com.h"
#include "platform/sim/sim_connections_folder.h"
#include "platform/sim/sim_device_io.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_mutexes.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_network_config.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_service_manager.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_system.h"

namespace nebrin::sim {

struct Machine::State {
  // A key opened through the registry service.
  struct OpenedKey {
    std::shared_ptr<Key> key;
    platform::Access access = platform::Access::Read;
    bool localMachine = false;  // in HKEY_LOCAL_MACHINE, where writes need administrative rights
  };

  // A socket opened through the sockets service.
  struct OpenedSocket {
    std::deque<std::vector<std::uint8_t>> pending;  // datagrams waiting, IPv4 header first
    std::deque<platform::SocketAddress> senders;
    std::uint32_t receiveTimeout = 0;  // 0: no time-out
    std::uint32_t sendTimeout = 0;
    std::map<std::string, std::uint64_t> requestsTo;  // echo requests sent, per address
    bool real = false;                                 // a Linux socket (network.real)
  };

  // COM on the host's thread.
  struct ComState {
    std::size_t apartmentDepth = 0;  // successful initialisations not yet ended
    bool threadInMultithreadedApartment = false;
    bool securityInitialized = false;
    std::size_t misuses = 0;  // unmatched uninitialisations, releases of references not held
    ComObjectTable objects;
  };

  SystemState system;
  std::vector<ListedAdapter> adapters;
  NetworkState network;
  std::vector<SimConnection> connections;
  SharingServiceState sharingService = SharingServiceState::Running;
  PrinterState printers;
  std::vector<CommandRun> commandsRun;
  std::vector<ShownMessage> messagesShown;
  std::uint32_t tickCount = 0x00A00000;  // the virtual clock: 10485760 ms after start-up
  std::shared_ptr<Key> currentUser = std::make_shared<Key>();
  std::shared_ptr<Key> localMachine = std::make_shared<Key>();
  std::map<platform::KeyHandle, OpenedKey> handles;
  // Handles are never reused, so a closed handle stays invalid.
  platform::KeyHandle nextHandle = 0x100;
  CallAccounting accounting;
  std::map<platform::SocketHandle, OpenedSocket> sockets;
  platform::SocketHandle nextSocket = 0x200;
  std::size_t winsockStarts = 0;  // successful Startup calls not yet ended by Cleanup
  std::size_t winsockMisuses = 0;  // Cleanup calls without such a start
  std::vector<SentEcho> echoRequests;
  // Internet handles and the handle each hangs from (kNoInternetHandle for a client handle).
  std::map<platform::InternetHandle, platform::InternetHandle> internetHandles;

  SimRegistry registry{*this};
  SimAdapterList adapterList{*this};
  SimSystemInfo systemInfo{*this};
  SimTextCodec textCodec{*this};
  SimSockets socketService{*this};
  SimInternetClient internetClient{*this};
  SimNetworkConnections connectionService{*this};
  SimSpooler spooler{*this};
  SimShell shell{*this};
  SimClock clock{*this};
  ProcessState processes;
  FileState files;
  SimProcesses processService{*this};
  SimFiles fileService{*this};
  ComState com;
  SimCom comService{*this};
  SimDialogs dialogs{*this};
  ServiceTable services;
  ShellState shellState;
  WirelessState wireless;
  SimServiceManager serviceManager{*this};
  SimConnectionsFolder connectionsFolder{*this};
  DriverState driver;
  NetCfgState netcfg;
  SimDeviceIo deviceIo{*this};
  SimNetworkConfig networkConfig{*this};
  MutexState mutexes;
  SimMutexes mutexService{*this};
  std::uint64_t registryWrites = 0;
  std::function<void(std::uint64_t)> writeObserver;

  // Counts a registry call that changed a hive and tells the observer.
  void RegistryWritten() {
    ++registryWrites;
    if (writeObserver) writeObserver(registryWrites);
  }

  // The hive of a root handle (kHkcu or kHklm), or null.
  Key* Hive(platform::KeyHandle root) const;
  // Like Hive, for the direct-access members: throws std::invalid_argument for another handle.
  Key& HiveOrThrow(platform::KeyHandle root) const;
};

}  // namespace nebrin::sim
