#include "platform/sim/sim_dialogs.h"

#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

// A planned failure, or memory the machine cannot have, stands for a box that could not be shown
// (MessageBoxW answers 0); nothing is recorded then.
int SimDialogs::ShowMessage(std::u16string_view text, std::u16string_view caption,
                            std::uint32_t type) {
  if (machine_.accounting.Enter(Service::Dialogs) != platform::kSuccess) return 0;
  try {
    machine_.messagesShown.push_back({Utf16ToUtf8(text), Utf16ToUtf8(caption), type});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return platform::kIdOk;
}

}  // namespace nebrin::sim
