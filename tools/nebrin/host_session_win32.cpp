// On Windows the host runs the library against the real system: nothing to load or save.
#include <CLI/CLI.hpp>

#include "host_session.h"

namespace nebrin::host {
namespace {

class SystemSession final : public HostSession {
 public:
  void Commit() override {}
};

}  // namespace

std::unique_ptr<HostSession> OpenSession(const HostOptions&) {
  return std::make_unique<SystemSession>();
}

void AddSessionOptions(CLI::App&, HostOptions&) {}

}  // namespace nebrin::host
