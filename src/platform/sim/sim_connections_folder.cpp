#include "platform/sim/sim_connections_folder.h"

#include <algorithm>
#include <new>

#include "platform/sim/machine_state.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

using platform::HResult;

constexpr HResult kNotInitialized = static_cast<HResult>(0x800401F0u);  // CO_E_NOTINITIALIZED
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
constexpr HResult kNotFound = static_cast<HResult>(0x80070002u);

class FolderObject final : public SimComObject {};
class AllocatorObject final : public SimComObject {};
class MenuObject final : public SimComObject {
 public:
  explicit MenuObject(std::string guid) : guid(std::move(guid)) {}
  std::string guid;  // the connection the menu belongs to
};

}  // namespace

HResult SimConnectionsFolder::CreateFolder(platform::ComRef& folder) {
  if (Status fault = machine_.accounting.Enter(Service::ConnectionsFolder)) {
    return platform::HResultFromWin32(fault);
  }
  // COM must be initialised on the thread: by the caller, or a multithreaded apartment it is in.
  if (machine_.com.apartmentDepth == 0 && !machine_.com.threadInMultithreadedApartment) {
    return kNotInitialized;
  }
  return Allocating([&] {
    folder = machine_.com.objects.Add(std::make_shared<FolderObject>());
    return platform::kSOk;
  });
}

HResult SimConnectionsFolder::ParseDisplayName(platform::ComRef folder, std::u16string_view name,
                                               platform::ItemIdList& item) {
  if (Status fault = machine_.accounting.Enter(Service::ConnectionsFolder)) {
    return platform::HResultFromWin32(fault);
  }
  if (machine_.com.objects.Find<FolderObject>(folder) == nullptr) return platform::kEPointer;
  return Allocating([&] {
    // Connection names are unique without regard to case, as the folder shows them.
    const auto& connections = machine_.connections;
    auto found = std::find_if(connections.begin(), connections.end(), [&](const SimConnection& c) {
      return SameName(Utf8ToUtf16(c.name), name);
    });
    if (name.empty() || found == connections.end()) return kNotFound;
    items_.emplace(next_, found->guid);  // inserted whole or not at all
    item = next_;
    next_ += 0x10;
    return platform::kSOk;
  });
}

HResult SimConnectionsFolder::GetContextMenu(platform::ComRef folder, platform::ItemIdList item,
                                             platform::ComRef& menu) {
  if (Status fault = machine_.accounting.Enter(Service::ConnectionsFolder)) {
    return platform::HResultFromWin32(fault);
  }
  if (machine_.com.objects.Find<FolderObject>(folder) == nullptr) return platform::kEPointer;
  auto found = items_.find(item);
  if (found == items_.end()) return platform::kEInvalidArg;
  return Allocating([&] {
    menu = machine_.com.objects.Add(std::make_shared<MenuObject>(found->second));
    return platform::kSOk;
  });
}

HResult SimConnectionsFolder::InvokeCommand(platform::ComRef menu, std::uint16_t commandOffset) {
  if (Status fault = machine_.accounting.Enter(Service::ConnectionsFolder)) {
    return platform::HResultFromWin32(fault);
  }
  const MenuObject* object = machine_.com.objects.Find<MenuObject>(menu);
  if (object == nullptr) return platform::kEPointer;
  if (commandOffset != kToggleEnabledOffset) return platform::kEInvalidArg;  // not on this menu
  auto& connections = machine_.connections;
  auto found = std::find_if(connections.begin(), connections.end(),
                            [&](const SimConnection& c) { return c.guid == object->guid; });
  if (found == connections.end()) return platform::kEFail;  // gone since the menu was made
  return Allocating([&] {
    machine_.shellState.menuCommands.push_back(MenuCommand{found->name, commandOffset});
    // Disabling leaves the connection disconnected; enabling connects it.
    found->status = found->status == platform::kNcsDisconnected ? platform::kNcsConnected
                                                                : platform::kNcsDisconnected;
    return platform::kSOk;
  });
}

HResult SimConnectionsFolder::GetMalloc(platform::ComRef& allocator) {
  if (Status fault = machine_.accounting.Enter(Service::ConnectionsFolder)) {
    return platform::HResultFromWin32(fault);
  }
  return Allocating([&] {
    allocator = machine_.com.objects.Add(std::make_shared<AllocatorObject>());
    return platform::kSOk;
  });
}

void SimConnectionsFolder::Free(platform::ComRef allocator, platform::ItemIdList item) {
  machine_.accounting.Enter(Service::ConnectionsFolder);  // counted; IMalloc::Free cannot fail
  if (machine_.com.objects.Find<AllocatorObject>(allocator) == nullptr || items_.erase(item) == 0) {
    ++machine_.com.misuses;
  }
}

void SimConnectionsFolder::FreeTaskMemory(platform::ItemIdList item) {
  machine_.accounting.Enter(Service::ConnectionsFolder);  // counted; CoTaskMemFree cannot fail
  if (items_.erase(item) == 0) ++machine_.com.misuses;
}

}  // namespace nebrin::sim
