// Windows: nothing keeps two nebrin.exe apart, so a running import holds a named mutex of the
// session; the journal is taken for an interrupted import's only when the mutex is free or its
// holder died (abandoned).
#include <windows.h>

#include <stdexcept>

#include "import_journal.h"

namespace nebrin::host {
namespace {

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

std::unique_ptr<ImportOwnership> ImportOwnership::Take(bool wait) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Corvane.Nebrin.Import");
  if (mutex == nullptr) {
    throw std::runtime_error("the import's mutex cannot be created, so an import cannot run");
  }
  const DWORD result = WaitForSingleObject(mutex, wait ? INFINITE : 0);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return std::make_unique<Held>(mutex);
  CloseHandle(mutex);
  if (wait) throw std::runtime_error("the import's mutex cannot be taken, so nothing was imported");
  return nullptr;
}

}  // namespace nebrin::host
