#include "platform/sim/adhoc_tool.h"

#include <sstream>

#include "platform/sim/machine_state.h"

namespace nebrin::sim {
namespace {

constexpr std::uint32_t kIeee80211 = 71;  // IF_TYPE_IEEE80211

// The arguments after the program's name, split at blanks.
std::vector<std::string> Arguments(const std::string& commandLine) {
  std::size_t start = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    const std::size_t close = commandLine.find('"', 1);
    start = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    start = commandLine.find(' ');
    if (start == std::string::npos) start = commandLine.size();
  }
  std::istringstream rest(commandLine.substr(start));
  std::vector<std::string> arguments;
  for (std::string word; rest >> word;) arguments.push_back(word);
  return arguments;
}

}  // namespace

void RunAdHocTool(Machine::State& machine, const std::string& commandLine) {
  bool adHoc = false;
  for (const std::string& argument : Arguments(commandLine)) {
    adHoc = adHoc || argument == "/1" || argument == "/2";
  }
  if (!adHoc) return;
  for (const ListedAdapter& adapter : machine.adapters) {
    if (adapter.type == kIeee80211) machine.wireless[adapter.guid].mode = WirelessMode::AdHoc;
  }
}

}  // namespace nebrin::sim
