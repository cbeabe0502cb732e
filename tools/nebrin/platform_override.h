// Runs the library on a platform that wraps the one in force (to watch the calls a member makes)
// and puts the previous platform back however the run ends. Linux only: the Windows DLL keeps its
// own platform.
#pragma once

#include <memory>
#include <utility>

#include "nebrin/platform_install.h"
#include "platform/platform.h"

namespace nebrin::host {

template <typename Wrapper, typename Run, typename... Args>
auto RunOnWrappedPlatform(Run&& run, Args&&... args) {
  class Reinstall {
   public:
    explicit Reinstall(std::shared_ptr<platform::Platform> previous)
        : previous_(std::move(previous)) {}
    ~Reinstall() { InstallPlatform(previous_); }
    Reinstall(const Reinstall&) = delete;
    Reinstall& operator=(const Reinstall&) = delete;

   private:
    std::shared_ptr<platform::Platform> previous_;
  };
  std::shared_ptr<platform::Platform> previous = InstalledPlatform();
  Reinstall restore(previous);
  InstallPlatform(std::make_shared<Wrapper>(previous, std::forward<Args>(args)...));
  return run();
}

}  // namespace nebrin::host
