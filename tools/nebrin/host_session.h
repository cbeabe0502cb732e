// What the host runs against: a simulated machine loaded from its machine file (Linux) or the
// real system (Windows). Commands open a session before they call the library.
#pragma once

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
  // Keeps what the library changed (the simulated machine is saved back to its file).
  virtual void Commit() = 0;
};

// Opens the session for a command: loads (or, the first time, creates) the machine file and
// installs it. Throws std::runtime_error with a sentence for the user.
std::unique_ptr<HostSession> OpenSession(const HostOptions& options);

// Adds the options that choose what the host runs against (--machine on Linux).
void AddSessionOptions(CLI::App& app, HostOptions& options);

}  // namespace nebrin::host
