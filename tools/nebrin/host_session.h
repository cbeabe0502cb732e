// What the host runs against: a simulated machine loaded from its machine file (Linux) or the
// real system (Windows). Commands open a session before they call the library.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace CLI {
class App;
}

namespace nebrin::host {

struct HostOptions {
  std::string machinePath;  // --machine; empty for the default
  bool native = false;      // --native (Linux): no simulated machine, Linux's own services
};

class HostSession {
 public:
  virtual ~HostSession() = default;
  // Keeps what the library changed (the simulated machine is saved back to its file); throws
  // when it cannot.
  virtual void Commit() = 0;
  // For commands that only read: keeps the DHCP leases loading refreshed into the store when it
  // can, and otherwise says once on standard error that they were not saved.
  virtual void CommitRefresh() = 0;
};

// Opens the session for a command: takes the machine file's lock (held until the session ends),
// loads (or, the first time, creates) the machine file and installs it, and finishes or undoes an
// import that was interrupted. Throws std::runtime_error with a sentence for the user.
std::unique_ptr<HostSession> OpenSession(const HostOptions& options);

// Where the journal of an import in progress is kept: beside the machine file on Linux, in the
// user's application data on Windows.
std::filesystem::path ImportJournalPath(const HostOptions& options);

// Adds the options that choose what the host runs against (--machine on Linux).
void AddSessionOptions(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
