// The simulated machine's processes, programs and files: the process table that process lookups
// see, the programs that process creation can start (the network shell among them), the files
// that programs and the library write, and what the network shell printed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nebrin::sim {

// A running process.
struct SimProcess {
  std::uint32_t id = 0;
  std::string image;     // its first module's base name, such as "netsh.exe"
  bool openable = true;  // false: OpenProcess is refused (another user's or a system process)
  // It ends once the process list has been taken this many more times (none: never by scans).
  std::optional<std::uint32_t> scansLeft;
  // It ends when the virtual clock reaches this tick (none: never by time).
  std::optional<std::uint32_t> endsAtTick;
};

enum class ProgramKind {
  NetworkShell,  // interprets the script named by "-f" in its working directory
  Idle,          // does nothing until its run time is over
  AdHocTool,  // the product's ad hoc tool: "/1" or "/2" puts the wireless adapters in ad hoc mode
};

// A program that process creation can start, named by its full path (case-insensitive).
struct SimProgram {
  std::string path;
  ProgramKind kind = ProgramKind::Idle;
  std::uint32_t runMs = 0;  // virtual time it stays in the process table
};

// A process start as the machine saw it.
struct StartedProcess {
  std::string application;  // the program's full path
  std::string commandLine;
  std::uint32_t showCommand = 1;  // how its window was to be shown: SW_HIDE 0, SW_SHOWNORMAL 1
};

// The lease the network's DHCP server gives an adapter that is put on DHCP.
struct SimLease {
  std::string address;
  std::string mask;
  std::string gateway;
  std::string nameServers;  // space-separated
  std::string server;
};

struct ProcessState {
  std::vector<SimProcess> table;
  std::uint32_t nextId = 2000;
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string currentDirectory = "C:\\Program Files\\Nebrin";  // the host process's
  // By default the system directory's network shell, running 1500 ms of virtual time, and its
  // command runner (the add-printer wizard's host), which is not modelled beyond its start.
  std::vector<SimProgram> programs = {
      {"C:\\WINDOWS\\system32\\netsh.exe", ProgramKind::NetworkShell, 1500},
      {"C:\\WINDOWS\\system32\\rundll32.exe", ProgramKind::Idle, 0}};
  std::map<std::string, SimLease> leases;  // by adapter GUID
  // Every process started, oldest first.
  std::vector<StartedProcess> started;
  std::vector<std::string> shellOutput;  // lines the network shell printed, oldest first
};

// Files by full path; names compare case-insensitively, as on Windows.
struct FileState {
  std::map<std::string, std::string> files;  // full path as created -> bytes
};

}  // namespace nebrin::sim
