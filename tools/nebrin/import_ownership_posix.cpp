// Linux: every command holds the machine file's lock, so no import runs beside the command that
// finds its journal; the ownership holds nothing more.
#include "import_journal.h"

namespace nebrin::host {
namespace {

class Held final : public ImportOwnership {};

}  // namespace

std::unique_ptr<ImportOwnership> ImportOwnership::Take() { return std::make_unique<Held>(); }

}  // namespace nebrin::host
