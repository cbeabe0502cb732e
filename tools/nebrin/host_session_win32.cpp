// On Windows the host runs the library against the real system: nothing to load or save.
#include <windows.h>
#include <shlobj.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "host_session.h"
#include "import_journal.h"

namespace nebrin::host {
namespace {

class SystemSession final : public HostSession {
 public:
  void Commit() override {}
  void CommitRefresh() override {}
};

}  // namespace

std::filesystem::path ImportJournalPath(const HostOptions&) {
  wchar_t folder[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    throw std::runtime_error(
        "the folder for this user's application data cannot be found, so an import cannot keep "
        "its journal");
  }
  return std::filesystem::path(folder) / L"Nebrin" / L"import-journal.json";
}

std::unique_ptr<HostSession> OpenSession(const HostOptions& options) {
  auto session = std::make_unique<SystemSession>();
  std::filesystem::path journal;
  try {
    journal = ImportJournalPath(options);
  } catch (const std::runtime_error&) {
    return session;  // no journal could have been written either
  }
  std::error_code error;
  if (std::filesystem::exists(journal, error)) {
    // Waits for a running import (it may own the journal), and holds the ownership until the
    // journal is undone and removed, so no import starts a new one in between.
    const std::unique_ptr<ImportOwnership> owner = ImportOwnership::Take();
    RecoverInterruptedImport(journal, *owner, *session, std::cerr);
  }
  return session;
}

void AddSessionOptions(CLI::App&, HostOptions&) {}

}  // namespace nebrin::host
