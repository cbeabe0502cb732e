#include "platform/sim/machine.h"

#include <stdexcept>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

const char* ServiceName(Service service) {
  switch (service) {
    case Service::Registry:
      return "Registry";
    case Service::AdapterList:
      return "AdapterList";
    case Service::SystemInfo:
      return "SystemInfo";
    case Service::TextCodec:
      return "TextCodec";
    case Service::Sockets:
      return "Sockets";
    case Service::Internet:
      return "Internet";
    case Service::Connections:
      return "Connections";
    case Service::Spooler:
      return "Spooler";
    case Service::Shell:
      return "Shell";
    case Service::Clock:
      return "Clock";
    case Service::Processes:
      return "Processes";
    case Service::Files:
      return "Files";
    case Service::Com:
      return "Com";
    case Service::Dialogs:
      return "Dialogs";
    case Service::ServiceManager:
      return "ServiceManager";
    case Service::ConnectionsFolder:
      return "ConnectionsFolder";
    case Service::DeviceIo:
      return "DeviceIo";
    case Service::NetworkConfig:
      return "NetworkConfig";
    case Service::Mutexes:
      return "Mutexes";
  }
  return "?";
}

RegValue RegValue::String(std::string_view utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  text.push_back(u'\0');
  return RegValue{RegType::String, Utf16ToBytes(text)};
}

RegValue RegValue::MultiString(const std::vector<std::string>& utf8) {
  std::vector<std::u16string> items;
  items.reserve(utf8.size());
  for (const auto& item : utf8) items.push_back(Utf8ToUtf16(item));
  return RegValue{RegType::MultiString, EncodeMultiString(items)};
}

RegValue RegValue::Dword(std::uint32_t value) {
  return RegValue{RegType::Dword,
                  {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

Key* Machine::State::Hive(platform::KeyHandle root) const {
  if (root == kHkcu) return currentUser.get();
  if (root == kHklm) return localMachine.get();
  return nullptr;
}

Key& Machine::State::HiveOrThrow(platform::KeyHandle root) const {
  Key* hive = Hive(root);
  if (hive == nullptr) throw std::invalid_argument("not a registry root: use kHkcu or kHklm");
  return *hive;
}

Machine::Machine() : state_(std::make_unique<State>()) {}
Machine::~Machine() = default;

SystemState& Machine::system_state() { return state_->system; }
const SystemState& Machine::system_state() const { return state_->system; }
std::vector<ListedAdapter>& Machine::listed_adapters() { return state_->adapters; }
const std::vector<ListedAdapter>& Machine::listed_adapters() const { return state_->adapters; }
NetworkState& Machine::network() { return state_->network; }
const NetworkState& Machine::network() const { return state_->network; }
std::vector<SimConnection>& Machine::network_connections() { return state_->connections; }
const std::vector<SimConnection>& Machine::network_connections() const {
  return state_->connections;
}
SharingServiceState& Machine::sharing_service() { return state_->sharingService; }
SharingServiceState Machine::sharing_service() const { return state_->sharingService; }
PrinterState& Machine::printers() { return state_->printers; }
const PrinterState& Machine::printers() const { return state_->printers; }
std::vector<CommandRun>& Machine::commands_run() { return state_->commandsRun; }
const std::vector<CommandRun>& Machine::commands_run() const { return state_->commandsRun; }
std::vector<ShownMessage>& Machine::messages_shown() { return state_->messagesShown; }
const std::vector<ShownMessage>& Machine::messages_shown() const { return state_->messagesShown; }
std::uint32_t Machine::tick_count() const { return state_->tickCount; }
void Machine::set_tick_count(std::uint32_t ticks) { state_->tickCount = ticks; }
ProcessState& Machine::process_state() { return state_->processes; }
const ProcessState& Machine::process_state() const { return state_->processes; }
FileState& Machine::file_state() { return state_->files; }
const FileState& Machine::file_state() const { return state_->files; }
ServiceTable& Machine::service_table() { return state_->services; }
const ServiceTable& Machine::service_table() const { return state_->services; }
ShellState& Machine::shell_state() { return state_->shellState; }
const ShellState& Machine::shell_state() const { return state_->shellState; }
WirelessState& Machine::wireless_state() { return state_->wireless; }
const WirelessState& Machine::wireless_state() const { return state_->wireless; }
DriverState& Machine::driver_state() { return state_->driver; }
const DriverState& Machine::driver_state() const { return state_->driver; }
NetCfgState& Machine::network_configuration() { return state_->netcfg; }
const NetCfgState& Machine::network_configuration() const { return state_->netcfg; }

void Machine::FailCall(std::uint64_t n, Status error) { state_->accounting.FailCall(n, error); }
void Machine::FailServiceCall(Service service, std::uint64_t n, Status error) {
  state_->accounting.FailServiceCall(service, n, error);
}
void Machine::ClearFaults() { state_->accounting.ClearFaults(); }
std::uint64_t Machine::CallCount() const { return state_->accounting.CallCount(); }
std::uint64_t Machine::CallCount(Service service) const {
  return state_->accounting.CallCount(service);
}
void Machine::ResetCounts() { state_->accounting.ResetCounts(); }
std::size_t Machine::OpenHandles() const {
  return state_->handles.size() + state_->sockets.size() + state_->internetHandles.size() +
         state_->winsockStarts + state_->processService.OpenCount() +
         state_->fileService.OpenCount() + state_->com.apartmentDepth + state_->com.objects.size() +
         state_->serviceManager.OpenCount() + state_->connectionsFolder.OpenCount() +
         state_->deviceIo.OpenCount() + state_->mutexService.OpenCount();
}
std::uint64_t Machine::RegistryWrites() const { return state_->registryWrites; }
void Machine::ObserveRegistryWrites(std::function<void(std::uint64_t)> observer) {
  state_->writeObserver = std::move(observer);
}
MutexState& Machine::mutex_state() { return state_->mutexes; }
const MutexState& Machine::mutex_state() const { return state_->mutexes; }
const std::vector<Machine::SentEcho>& Machine::EchoRequestsSent() const {
  return state_->echoRequests;
}
const std::vector<ServiceHandleOpened>& Machine::ServiceHandlesOpened() const {
  return state_->serviceManager.Opened();
}

platform::Registry& Machine::registry() { return state_->registry; }
platform::AdapterList& Machine::adapters() { return state_->adapterList; }
platform::SystemInfo& Machine::system() { return state_->systemInfo; }
platform::TextCodec& Machine::text() { return state_->textCodec; }
platform::Sockets& Machine::sockets() { return state_->socketService; }
platform::InternetClient& Machine::internet() { return state_->internetClient; }
platform::NetworkConnections& Machine::connections() { return state_->connectionService; }
platform::Spooler& Machine::spooler() { return state_->spooler; }
platform::Shell& Machine::shell() { return state_->shell; }
platform::Clock& Machine::clock() { return state_->clock; }
platform::Processes& Machine::processes() { return state_->processService; }
platform::Files& Machine::files() { return state_->fileService; }
platform::Com& Machine::com() { return state_->comService; }
platform::Dialogs& Machine::dialogs() { return state_->dialogs; }
platform::ServiceManager& Machine::serviceManager() { return state_->serviceManager; }
platform::ConnectionsFolder& Machine::connectionsFolder() { return state_->connectionsFolder; }
platform::DeviceIo& Machine::deviceIo() { return state_->deviceIo; }
platform::NetworkConfig& Machine::networkConfig() { return state_->networkConfig; }
platform::Mutexes& Machine::mutexes() { return state_->mutexService; }

void Machine::set_thread_in_multithreaded_apartment(bool multithreaded) {
  state_->com.threadInMultithreadedApartment = multithreaded;
}
std::size_t Machine::ComApartmentDepth() const { return state_->com.apartmentDepth; }
std::size_t Machine::ComReferencesHeld() const { return state_->com.objects.size(); }
std::size_t Machine::ComMisuses() const { return state_->com.misuses; }
std::size_t Machine::WinsockMisuses() const { return state_->winsockMisuses; }

}  // namespace nebrin::sim
