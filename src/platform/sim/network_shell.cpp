#include "platform/sim/network_shell.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/native/iconv_text.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_text.h"

namespace nebrin::sim {
namespace {

// What the shell prints for a change a limited user may not make; nothing is changed.
constexpr char kAccessDenied[] = "Access is denied.";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A dotted IPv4 address of four decimal parts 0 to 255.
bool IsAddress(const std::string& text) {
  int parts = 0;
  std::size_t i = 0;
  while (i <= text.size()) {
    std::size_t digits = 0;
    int value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 4) {
      value = value * 10 + (text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    ++parts;
    if (i == text.size()) break;
    if (text[i] != '.') return false;
    ++i;
  }
  return parts == 4;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The tagged arguments of a command, "tag=value" or "tag = value", values optionally quoted.
// nullopt when the arguments are malformed (a tag without value, a value without tag, a tag
// given twice).
std::optional<std::map<std::string, std::string>> TaggedArguments(const std::string& text) {
  struct Token {
    std::string text;
    bool equals = false;
    bool quoted = false;
  };
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '=') {
      tokens.push_back({"=", true, false});
      ++i;
    } else if (c == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) return std::nullopt;
      tokens.push_back({text.substr(i + 1, close - i - 1), false, true});
      i = close + 1;
    } else {
      std::size_t end = i;
      while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '=' &&
             text[end] != '"') {
        ++end;
      }
      tokens.push_back({text.substr(i, end - i), false, false});
      i = end;
    }
  }
  std::map<std::string, std::string> tagged;
  for (std::size_t i = 0; i < tokens.size(); i += 3) {
    if (i + 2 >= tokens.size() || tokens[i].equals || tokens[i].quoted || !tokens[i + 1].equals ||
        tokens[i + 2].equals) {
      return std::nullopt;
    }
    if (!tagged.emplace(Lower(tokens[i].text), tokens[i + 2].text).second) return std::nullopt;
  }
  return tagged;
}

class Shell {
 public:
  explicit Shell(Machine::State& machine) : machine_(machine) {}

  void Run(const std::string& commandLine);

 private:
  void Report(const std::string& line) { machine_.processes.shellOutput.push_back(line); }
  void RunLine(const std::string& line);
  // The command of the "interface ip" context; false when it was not applied.
  bool RunInterfaceIp(const std::string& verb, const std::string& noun, const std::string& rest,
                      std::string& problem);
  // The GUID of the adapter whose connection has this name (case-insensitive).
  std::optional<std::string> FindConnection(const std::string& name) const;
  // The lease a sharing host on the adapter's network gives it, if one serves that network.
  std::optional<SimLease> SharingHostLease(const std::string& guid) const;
  Key& Interface(const std::string& guid) {
    return CreatePath(*machine_.localMachine, Utf8ToUtf16(TcpipInterfaceKey(guid)));
  }
  ListedAdapter* Listed(const std::string& guid) {
    for (auto& adapter : machine_.adapters) {
      if (SameName(Utf8ToUtf16(adapter.guid), Utf8ToUtf16(guid))) return &adapter;
    }
    return nullptr;
  }
  std::u16string Decode(const std::string& bytes) const;

  Machine::State& machine_;
  std::vector<std::string> context_;
  std::vector<std::vector<std::string>> pushed_;
};

// The shell reads its script in the OEM code page on the NT 5.1 systems whose shell expects it
// (OEM code page 852, or 866 on a Tablet PC edition), in the ANSI code page elsewhere, and in no
// other encoding.
std::u16string Shell::Decode(const std::string& bytes) const {
  const SystemState& system = machine_.system;
  const bool nt51 = system.version.platformId == 2 && system.version.major == 5 &&
                    system.version.minor == 1;
  const bool oem = nt51 && (system.oemCodePage == 852 || (system.tabletPc && system.oemCodePage == 866));
  // Decoded as MultiByteToWideChar decodes: bytes the page does not define become the system's
  // characters for them, and a script written in another encoding reads as what those bytes are in
  // this page. (A page the machine cannot convert leaves nothing to run.)
  std::u16string text;
  platform::native::BytesToWide(oem ? system.oemCodePage : system.ansiCodePage, bytes, text);
  return text;
}

void Shell::Run(const std::string& commandLine) {
  const std::vector<std::string> words = Words(commandLine);
  auto flag = std::find_if(words.begin(), words.end(),
                           [](const std::string& w) { return Lower(w) == "-f"; });
  if (flag == words.end() || flag + 1 == words.end()) {
    Report("The syntax supplied for this command is not valid.");
    return;
  }
  const std::string path =
      ResolvePath(machine_.processes.currentDirectory, *(flag + 1));
  auto& files = machine_.files.files;
  const std::string key = FindFileKey(files, path);
  auto file = files.find(key);
  if (file == files.end()) {
    Report("The system cannot find the file specified.");
    return;
  }
  if (machine_.fileService.IsOpen(key)) {
    Report("The process cannot access the file because it is being used by another process.");
    return;
  }
  const std::string text = Utf16ToUtf8(Decode(file->second));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    RunLine(line);
    start = end + 1;
  }
}

void Shell::RunLine(const std::string& line) {
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return;
  const std::string first = Lower(words[0]);
  if (first == "pushd") {
    pushed_.push_back(context_);
    context_.clear();
    for (std::size_t i = 1; i < words.size(); ++i) context_.push_back(Lower(words[i]));
    return;
  }
  if (first == "popd") {
    if (pushed_.empty()) {
      Report("The stack is empty.");
      return;
    }
    context_ = pushed_.back();
    pushed_.pop_back();
    return;
  }
  // Interface configuration is reset by "reset all": the addresses stay until the script sets
  // them, so the simulation accepts it without a change.
  if (context_ == std::vector<std::string>{"interface"} && first == "reset" && words.size() == 2 &&
      Lower(words[1]) == "all") {
    if (!machine_.system.administrator) Report(kAccessDenied);
    return;
  }
  if (context_ == std::vector<std::string>{"interface", "ip"} && words.size() >= 2) {
    const std::size_t nounStart = line.find(words[1], line.find(words[0]) + words[0].size());
    const std::string rest = line.substr(nounStart + words[1].size());
    std::string problem;
    if (!RunInterfaceIp(first, Lower(words[1]), rest, problem)) Report(problem);
    return;
  }
  Report("The following command was not found: " + line + ".");
}

std::optional<std::string> Shell::FindConnection(const std::string& name) const {
  for (const auto& adapter : machine_.adapters) {
    const Key* connection =
        FindPath(*machine_.localMachine, Utf8ToUtf16(ConnectionKey(adapter.guid)));
    const NamedValue* value = connection ? connection->FindValue(u"Name") : nullptr;
    if (value != nullptr && SameName(FirstString(value->value.bytes), Utf8ToUtf16(name))) {
      return adapter.guid;
    }
  }
  return std::nullopt;
}

// The sharing host's DHCP allocator serves 192.168.0.0/24 from its own address 192.168.0.1; each
// connection of this machine gets an address of its own.
std::optional<SimLease> Shell::SharingHostLease(const std::string& guid) const {
  const auto& connections = machine_.connections;
  for (std::size_t i = 0; i < connections.size(); ++i) {
    if (!SameName(Utf8ToUtf16(connections[i].guid), Utf8ToUtf16(guid))) continue;
    if (!connections[i].servedBySharingHost) return std::nullopt;
    const std::string host = "192.168.0.1";
    return SimLease{"192.168.0." + std::to_string(100 + i % 150), "255.255.255.0", host, host,
                    host};
  }
  return std::nullopt;
}

bool Shell::RunInterfaceIp(const std::string& verb, const std::string& noun,
                           const std::string& rest, std::string& problem) {
  const bool set = verb == "set";
  if ((!set && verb != "add") || (noun != "address" && noun != "dns" && noun != "wins") ||
      (!set && noun == "address")) {
    problem = "The following command was not found: " + verb + " " + noun + rest + ".";
    return false;
  }
  const auto args = TaggedArguments(rest);
  if (!args) {
    problem = "The syntax supplied for this command is not valid. Check help for the correct syntax.";
    return false;
  }
  auto arg = [&](const char* tag) -> std::optional<std::string> {
    auto found = args->find(tag);
    if (found == args->end()) return std::nullopt;
    return found->second;
  };
  auto allowed = [&](std::initializer_list<const char*> tags) {
    for (const auto& argument : *args) {
      const std::string& tag = argument.first;  // clang 14 cannot capture a structured binding
      if (std::none_of(tags.begin(), tags.end(), [&](const char* t) { return tag == t; })) {
        return false;
      }
    }
    return true;
  };
  const auto name = arg("name");
  if (!name) {
    problem = "One or more essential parameters not specified";
    return false;
  }
  const auto guid = FindConnection(*name);
  if (!guid) {
    problem = "The interface \"" + *name + "\" was not found.";
    return false;
  }
  // Every command of this context changes the interface: a limited user may not.
  if (!machine_.system.administrator) {
    problem = kAccessDenied;
    return false;
  }
  auto invalid = [&](const char* tag, const std::string& value) {
    problem = std::string("Invalid ") + tag + " parameter (" + value + ").";
    return false;
  };
  const auto source = arg("source");
  const std::string sourceText = source ? Lower(*source) : std::string();
  Key& key = Interface(*guid);

  if (noun == "address") {
    if (!allowed({"name", "source", "addr", "mask", "gateway", "gwmetric"})) {
      return invalid("argument", rest);
    }
    const auto addr = arg("addr");
    const auto mask = arg("mask");
    const auto gateway = arg("gateway");
    const auto metric = arg("gwmetric");
    if (gateway && Lower(*gateway) != "none" && !IsAddress(*gateway)) return invalid("gateway", *gateway);
    if (metric && !IsNumber(*metric)) return invalid("gwmetric", *metric);
    if (gateway && Lower(*gateway) != "none" && !metric) {
      problem = "One or more essential parameters not specified";
      return false;
    }
    if (sourceText == "dhcp") {
      if (addr || mask || gateway) return invalid("argument", rest);
      // An adapter already on DHCP is left as it is, and the shell says so.
      const NamedValue* enabled = key.FindValue(u"EnableDHCP");
      if (enabled != nullptr && enabled->value.type == RegType::Dword &&
          enabled->value.bytes.size() == 4 && enabled->value.bytes[0] == 1 &&
          enabled->value.bytes[1] == 0 && enabled->value.bytes[2] == 0 &&
          enabled->value.bytes[3] == 0) {
        problem = "DHCP is already enabled on this interface.";
        return false;
      }
      key.PutValue(u"EnableDHCP", RegValue::Dword(1));
      key.PutValue(u"IPAddress", RegValue::MultiString({"0.0.0.0"}));
      key.PutValue(u"SubnetMask", RegValue::MultiString({"0.0.0.0"}));
      key.PutValue(u"DefaultGateway", RegValue::MultiString({}));
      auto lease = machine_.processes.leases.find(*guid);
      std::optional<SimLease> given;
      if (lease != machine_.processes.leases.end()) {
        given = lease->second;
      } else {
        given = SharingHostLease(*guid);
      }
      if (given) {
        const SimLease& l = *given;
        key.PutValue(u"DhcpIPAddress", RegValue::String(l.address));
        key.PutValue(u"DhcpSubnetMask", RegValue::String(l.mask));
        key.PutValue(u"DhcpDefaultGateway",
                     RegValue::MultiString(l.gateway.empty() ? std::vector<std::string>{}
                                                             : std::vector<std::string>{l.gateway}));
        key.PutValue(u"DhcpNameServer", RegValue::String(l.nameServers));
        key.PutValue(u"DhcpServer", RegValue::String(l.server));
      } else if (key.FindValue(u"DhcpIPAddress") == nullptr) {
        key.PutValue(u"DhcpIPAddress", RegValue::String("0.0.0.0"));
        key.PutValue(u"DhcpSubnetMask", RegValue::String("0.0.0.0"));
      }
      return true;
    }
    if (sourceText == "static") {
      if (!addr || !mask) {
        problem = "One or more essential parameters not specified";
        return false;
      }
      if (!IsAddress(*addr)) return invalid("addr", *addr);
      if (!IsAddress(*mask)) return invalid("mask", *mask);
      key.PutValue(u"EnableDHCP", RegValue::Dword(0));
      key.PutValue(u"IPAddress", RegValue::MultiString({*addr}));
      key.PutValue(u"SubnetMask", RegValue::MultiString({*mask}));
      key.PutValue(u"DefaultGateway", RegValue::MultiString({}));
      key.PutValue(u"DefaultGatewayMetric", RegValue::MultiString({}));
    } else if (source || addr || mask || !gateway) {
      return invalid("source", source.value_or(""));
    }
    if (gateway) {
      const bool none = Lower(*gateway) == "none";
      key.PutValue(u"DefaultGateway",
                   RegValue::MultiString(none ? std::vector<std::string>{}
                                              : std::vector<std::string>{*gateway}));
      key.PutValue(u"DefaultGatewayMetric",
                   RegValue::MultiString(none ? std::vector<std::string>{}
                                              : std::vector<std::string>{*metric}));
    }
    return true;
  }

  // Name and WINS servers.
  const bool dns = noun == "dns";
  const auto addr = arg("addr");
  if (set) {
    if (!allowed({"name", "source", "addr", "register"})) return invalid("argument", rest);
    if (sourceText == "dhcp") {
      if (addr) return invalid("addr", *addr);
    } else if (sourceText == "static") {
      if (!addr) {
        problem = "One or more essential parameters not specified";
        return false;
      }
      if (Lower(*addr) != "none" && !IsAddress(*addr)) return invalid("addr", *addr);
    } else {
      return invalid("source", source.value_or(""));
    }
    const std::string server = sourceText == "static" && Lower(*addr) != "none" ? *addr : "";
    if (dns) {
      key.PutValue(u"NameServer", RegValue::String(server));
    } else if (ListedAdapter* listed = Listed(*guid)) {
      listed->primaryWins = server;
      listed->secondaryWins.clear();
    }
    return true;
  }
  if (!allowed({"name", "addr", "index"})) return invalid("argument", rest);
  if (!addr) {
    problem = "One or more essential parameters not specified";
    return false;
  }
  if (!IsAddress(*addr)) return invalid("addr", *addr);
  // A server already in the list is not added a second time; the shell says so.
  const std::string alreadyListed = "The object is already in the list.";
  if (dns) {
    const NamedValue* current = key.FindValue(u"NameServer");
    std::string servers = current ? Utf16ToUtf8(FirstString(current->value.bytes)) : "";
    std::istringstream listed(servers);
    for (std::string server; std::getline(listed, server, ',');) {
      if (server == *addr) {
        problem = alreadyListed;
        return false;
      }
    }
    servers = servers.empty() ? *addr : servers + "," + *addr;
    key.PutValue(u"NameServer", RegValue::String(servers));
  } else if (ListedAdapter* listed = Listed(*guid)) {
    if (listed->primaryWins == *addr || listed->secondaryWins == *addr) {
      problem = alreadyListed;
      return false;
    }
    (listed->primaryWins.empty() ? listed->primaryWins : listed->secondaryWins) = *addr;
  }
  return true;
}

}  // namespace

void RunNetworkShell(Machine::State& machine, const std::string& commandLine) {
  Shell(machine).Run(commandLine);
}

}  // namespace nebrin::sim
