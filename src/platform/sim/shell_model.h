// The simulated machine's shell: the Program Files folder and the commands invoked on connections
// in the Network Connections folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nebrin::sim {

// A context-menu command invoked in the Network Connections folder.
struct MenuCommand {
  std::string connection;    // the connection's name
  std::uint32_t offset = 0;  // the command identifier offset
};

struct ShellState {
  // What SHGetFolderPathW answers for the Program Files folder; empty: the folder is not found.
  std::string programFiles = "C:\\Program Files";
  std::vector<MenuCommand> menuCommands;  // oldest first
};

}  // namespace nebrin::sim
