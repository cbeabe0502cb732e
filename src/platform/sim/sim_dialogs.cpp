#include "platform/sim/sim_dialogs.h"

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {

// A planned failure stands for a box that could not be shown (MessageBoxW answers 0).
int SimDialogs::ShowMessage(std::u16string_view text, std::u16string_view caption,
                            std::uint32_t type) {
  if (machine_.accounting.Enter(Service::Dialogs) != platform::kSuccess) return 0;
  machine_.messagesShown.push_back({Utf16ToUtf8(text), Utf16ToUtf8(caption), type});
  return platform::kIdOk;
}

}  // namespace nebrin::sim
