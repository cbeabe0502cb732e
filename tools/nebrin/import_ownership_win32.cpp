// Windows: nothing keeps two nebrin.exe apart, so a running import holds a named mutex of the
// session, and so does a command undoing an interrupted import's journal; a journal is taken for
// an interrupted import's only when the mutex is free or its holder died (abandoned).
#include <windows.h>

#include <iostream>
#include <stdexcept>

#include "import_journal.h"

namespace nebrin::host {
namespace {

constexpr wchar_t kName[] = L"Local\\Corvane.Nebrin.Import";

class Held final : public ImportOwnership {
 public:
  explicit Held(HANDLE mutex) : mutex_(mutex) {}
  ~Held() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<ImportOwnership> ImportOwnership::Take() {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kName);
  if (mutex == nullptr) {
    throw std::runtime_error("the import's mutex cannot be created, so this command cannot run");
  }
  DWORD result = WaitForSingleObject(mutex, 1000);
  if (result == WAIT_TIMEOUT) {
    std::cerr << "nebrin: waiting for another nebrin command that imports profiles, or undoes an "
                 "interrupted import, to finish (it holds the mutex Local\\Corvane.Nebrin.Import)...\n"
              << std::flush;
    result = WaitForSingleObject(mutex, INFINITE);
  }
  // Abandoned: its holder was killed; the journal it leaves is undone by the taker.
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return std::make_unique<Held>(mutex);
  CloseHandle(mutex);
  throw std::runtime_error("the import's mutex cannot be taken, so this command cannot run");
}

}  // namespace nebrin::host
