// A connection's context-menu command in the shell's Network Connections folder, as a menu choice
// there makes it.
#include <cstdint>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace nebrin::wlan {
namespace {

// The command identifier offset invoked on the connection's menu.
constexpr std::uint16_t kMenuCommandOffset = 24;

}  // namespace
}  // namespace nebrin::wlan

int CWLanControl::OnAp(NebrinChar* name) {
  using namespace nebrin;
  return frame::Guarded(0, [name] {
    if (name == nullptr) return 0;
    platform::Platform& system = platform::Current();
    platform::Com& com = system.com();
    platform::ConnectionsFolder& folders = system.connectionsFolder();
    // Declared in the order that releases the menu, then the folder, then frees the item, then
    // ends COM.
    platform::ComApartment apartment(com);
    platform::UniqueItemIdList item(folders, com);
    platform::UniqueComRef folder(com);
    if (platform::Failed(folders.CreateFolder(folder.receive())) || !folder) return 0;
    if (platform::Failed(
            folders.ParseDisplayName(folder.get(), frame::ParamText(name), item.receive()))) {
      return 0;
    }
    platform::UniqueComRef menu(com);
    if (platform::Failed(folders.GetContextMenu(folder.get(), item.get(), menu.receive())) ||
        !menu) {
      return 0;
    }
    return platform::Failed(folders.InvokeCommand(menu.get(), wlan::kMenuCommandOffset)) ? 0 : 1;
  });
}
