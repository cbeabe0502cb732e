// Machine files: exact round trips, readable values where they have their regular shape, damaged
// files reported by name and location and never overwritten, atomic saves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace nebrin::sim {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class MachineFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("nebrin-machine-file-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

// A machine with values of every awkward shape.
std::shared_ptr<Machine> OddMachine() {
  auto machine = Machine::Demo();
  machine->system_state().administrator = false;
  machine->system_state().tabletPc = true;
  machine->system_state().oemCodePage = 850;
  const char* odd = "SOFTWARE\\Odd Values\\MixedCase";
  machine->SetValue(kHklm, odd, "zz first", RegValue::String("then alphabetical? no"));
  machine->SetValue(kHklm, odd, "OddLength", RegValue{RegType::String, {0x41, 0x00, 0x42}});
  machine->SetValue(kHklm, odd, "NoTerminator", RegValue{RegType::String, {0x41, 0x00}});
  machine->SetValue(kHklm, odd, "TwoNuls", RegValue{RegType::ExpandString, {0x41, 0, 0, 0, 0, 0}});
  machine->SetValue(kHklm, odd, "EmptyItem", RegValue::MultiString({"a", "", "b"}));
  machine->SetValue(kHklm, odd, "NoItems", RegValue::MultiString({}));
  machine->SetValue(kHklm, odd, "ShortDword", RegValue{RegType::Dword, {1, 2, 3}});
  machine->SetValue(kHklm, odd, "Binary", RegValue{RegType::Binary, {0x00, 0xFF, 0x10}});
  machine->SetValue(kHklm, odd, "Qword",
                    RegValue{static_cast<RegType>(11), {1, 2, 3, 4, 5, 6, 7, 8}});
  machine->SetValue(kHklm, odd, "LoneSurrogate", RegValue{RegType::String, {0x00, 0xD8, 0, 0}});
  machine->SetValue(kHklm, odd, "", RegValue::String("default"));
  machine->SetValue(kHkcu, "Software\\Größe", "Ünïcode", RegValue::String("→ text ✓"));
  machine->SetValue(kHkcu, "Software\\Größe", "Big", RegValue::Dword(0xFFFFFFFFu));
  SimService& wzc = machine->service_table().services.back();
  wzc.state = 2;  // start pending, settling later
  wzc.settlesAtTick = 12345;
  machine->service_table().services.front().markedForDeletion = true;
  SimWirelessAdapter& card = machine->wireless_state()["{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}"];
  card.mode = WirelessMode::AdHoc;
  card.authentication = 1;
  card.wepStatus = 9;  // no name: kept as its number
  card.keys[0] = {'1', '2', '3', '4', '5'};
  card.keys[3] = {0x00, 0xFF, 0x10, 0x20, 0x7F};  // not printable: hex
  card.transmitKey = 3;
  card.ssid = {'C', 'a', 'f', 0xE9};
  card.associated = true;
  card.inRange = {"Office"};
  machine->driver_state().requests.push_back({"", 0x0012C810, {}, 0});
  machine->driver_state().requests.push_back(
      {"{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}", 0x0012C814, {0x15, 0x01, 0x01, 0x0D}, 87});
  machine->network_configuration().writeLockHeldBy = "Network Setup Wizard";
  machine->shell_state().menuCommands.push_back({"Local Area Connection", 24});
  machine->shell_state().programFiles = "D:\\Programme";
  machine->process_state().started.push_back({"D:\\t.exe", "\"D:\\t.exe\" /1", 0});
  machine->sharing_service() = SharingServiceState::Disabled;
  return machine;
}

TEST_F(MachineFileTest, RoundTripIsExact) {
  auto original = OddMachine();
  const std::string text = original->ToJsonText();
  auto copy = Machine::FromJsonText(text);
  EXPECT_EQ(copy->ToJsonText(), text);

  const char* odd = "SOFTWARE\\Odd Values\\MixedCase";
  for (const std::string& name : original->ValueNames(kHklm, odd)) {
    SCOPED_TRACE(name);
    const auto before = original->GetValue(kHklm, odd, name);
    const auto after = copy->GetValue(kHklm, odd, name);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->type, before->type);
    EXPECT_EQ(after->bytes, before->bytes);
  }
  EXPECT_EQ(copy->ValueNames(kHklm, odd), original->ValueNames(kHklm, odd));
  EXPECT_EQ(copy->ValueNames(kHklm, odd).front(), "zz first");
  EXPECT_EQ(copy->SubkeyNames(kHklm, "SOFTWARE\\Odd Values"),
            std::vector<std::string>{"MixedCase"});
  EXPECT_EQ(copy->GetString(kHkcu, "Software\\größe", "ünïcode"), "→ text ✓");

  const SystemState& s = copy->system_state();
  EXPECT_FALSE(s.administrator);
  EXPECT_TRUE(s.tabletPc);
  EXPECT_EQ(s.oemCodePage, 850u);
  EXPECT_EQ(s.version.servicePack, u"Service Pack 2");
  ASSERT_EQ(copy->listed_adapters().size(), 4u);
  EXPECT_EQ(copy->listed_adapters()[1].primaryWins, "10.0.0.3");
  EXPECT_EQ(copy->listed_adapters()[1].type, 71u);

  ASSERT_EQ(copy->service_table().services.size(), 4u);
  const SimService& wzc = copy->service_table().services.back();
  EXPECT_EQ(wzc.name, "WZCSVC");
  EXPECT_EQ(wzc.state, 2u);
  EXPECT_EQ(wzc.settlesAtTick, 12345u);
  EXPECT_EQ(wzc.startMs, 2000u);
  EXPECT_TRUE(copy->service_table().services.front().markedForDeletion);
  const SimWirelessAdapter& card =
      copy->wireless_state().at("{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}");
  EXPECT_EQ(card.mode, WirelessMode::AdHoc);
  EXPECT_EQ(card.authentication, 1u);
  EXPECT_EQ(card.wepStatus, 9u);
  EXPECT_EQ(card.keys.at(3), (std::vector<std::uint8_t>{0x00, 0xFF, 0x10, 0x20, 0x7F}));
  EXPECT_EQ(card.transmitKey, 3u);
  EXPECT_EQ(card.ssid, (std::vector<std::uint8_t>{'C', 'a', 'f', 0xE9}));
  EXPECT_TRUE(card.associated);
  EXPECT_EQ(card.inRange, std::vector<std::string>{"Office"});
  ASSERT_EQ(copy->driver_state().requests.size(), 2u);
  EXPECT_EQ(copy->driver_state().requests[1].input,
            (std::vector<std::uint8_t>{0x15, 0x01, 0x01, 0x0D}));
  EXPECT_EQ(copy->driver_state().requests[1].error, 87u);
  EXPECT_EQ(copy->network_configuration().writeLockHeldBy, "Network Setup Wizard");
  EXPECT_EQ(copy->network_configuration().components[0].id, "K_ORLPD");
  EXPECT_EQ(copy->network_configuration().setupFiles[0].name, "oem0.inf");
  EXPECT_NE(text.find(R"("keyHex": "00ff10207f")"), std::string::npos);
  EXPECT_NE(text.find(R"("ssidHex": "436166e9")"), std::string::npos);
  ASSERT_EQ(copy->shell_state().menuCommands.size(), 1u);
  EXPECT_EQ(copy->shell_state().menuCommands[0].offset, 24u);
  EXPECT_EQ(copy->shell_state().programFiles, "D:\\Programme");
  EXPECT_EQ(copy->process_state().programs.back().kind, ProgramKind::AdHocTool);
  ASSERT_EQ(copy->process_state().started.size(), 1u);
  EXPECT_EQ(copy->process_state().started[0].commandLine, "\"D:\\t.exe\" /1");
  EXPECT_EQ(copy->process_state().started[0].showCommand, 0u);
  EXPECT_EQ(copy->sharing_service(), SharingServiceState::Disabled);
  EXPECT_NE(text.find(R"("sharingService": "disabled")"), std::string::npos);
}

TEST_F(MachineFileTest, RegularValuesAreReadableOthersExactHex) {
  const auto document = nlohmann::json::parse(OddMachine()->ToJsonText());
  EXPECT_EQ(document["format"], "nebrin-machine");
  EXPECT_EQ(document["version"], 1);
  const auto& values = document["registry"]["HKEY_LOCAL_MACHINE"]["keys"]["SOFTWARE"]["keys"]
                               ["Odd Values"]["keys"]["MixedCase"]["values"];
  auto find = [&](const std::string& name) {
    for (const auto& v : values) {
      if (v["name"] == name) return v;
    }
    ADD_FAILURE() << "no value " << name;
    return nlohmann::json();
  };
  struct Case {
    const char* name;
    const char* member;
    nlohmann::json expected;
    const char* type;
  };
  const Case cases[] = {
      {"zz first", "data", "then alphabetical? no", "REG_SZ"},
      {"OddLength", "hex", "410042", "REG_SZ"},
      {"NoTerminator", "hex", "4100", "REG_SZ"},
      {"TwoNuls", "hex", "410000000000", "REG_EXPAND_SZ"},
      {"EmptyItem", "hex", "610000000000620000000000", "REG_MULTI_SZ"},
      {"NoItems", "data", nlohmann::json::array(), "REG_MULTI_SZ"},
      {"ShortDword", "hex", "010203", "REG_DWORD"},
      {"Binary", "hex", "00ff10", "REG_BINARY"},
      {"Qword", "hex", "0102030405060708", "REG_QWORD"},
      {"LoneSurrogate", "hex", "00d80000", "REG_SZ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto value = find(c.name);
    EXPECT_EQ(value["type"], c.type);
    EXPECT_EQ(value[c.member], c.expected);
  }
  const auto& wired =
      document["registry"]["HKEY_LOCAL_MACHINE"]["keys"]["SYSTEM"]["keys"]["CurrentControlSet"]
              ["keys"]["Services"]["keys"]["Tcpip"]["keys"]["Parameters"]["keys"]["Interfaces"]
              ["keys"]["{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}"]["values"];
  EXPECT_EQ(wired[0], (nlohmann::json{{"name", "EnableDHCP"}, {"type", "REG_DWORD"}, {"data", 1}}));
  EXPECT_EQ(wired[1]["data"], nlohmann::json::array({"0.0.0.0"}));
}

TEST_F(MachineFileTest, SaveCreatesTheFolderReplacesTheTargetAndLeavesNoTemporary) {
  const fs::path file = dir_ / "nested" / "machine.json";
  auto machine = OddMachine();
  machine->Save(file);
  EXPECT_EQ(ReadFile(file), machine->ToJsonText());

  machine->SetString(kHkcu, "Software\\Later", "v", "changed");
  machine->Save(file);
  EXPECT_EQ(FilesIn(dir_ / "nested"), std::vector<std::string>{"machine.json"});
  EXPECT_EQ(Machine::Load(file)->GetString(kHkcu, "Software\\Later", "v"), "changed");
}

TEST_F(MachineFileTest, FailedSaveThrowsAndRemovesItsTemporary) {
  // The target is a folder: the final rename fails after the temporary was written.
  const fs::path target = dir_ / "machine.json";
  fs::create_directory(target);
  Machine machine;
  try {
    machine.Save(target);
    FAIL() << "saving over a folder succeeded";
  } catch (const MachineFileError& e) {
    EXPECT_NE(std::string(e.what()).find(target.string() + ": "), std::string::npos) << e.what();
  }
  EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"machine.json"});
  EXPECT_TRUE(fs::is_directory(target));

  // The folder cannot be made: a plain file stands where it should be.
  WriteFile(dir_ / "plain", "x");
  EXPECT_THROW(machine.Save(dir_ / "plain" / "machine.json"), MachineFileError);
  EXPECT_EQ(ReadFile(dir_ / "plain"), "x");
}

// A file without its owner's write bit stays as it is, whoever saves (root included).
TEST_F(MachineFileTest, ReadOnlyFileIsRefusedNotReplaced) {
  const fs::path file = dir_ / "machine.json";
  Machine machine;
  machine.Save(file);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  const std::string before = ReadFile(file);
  machine.SetString(kHkcu, "Software\\Later", "v", "changed");
  try {
    machine.Save(file);
    FAIL() << "a read-only machine file was replaced";
  } catch (const MachineFileError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot be written"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFile(file), before);
  EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"machine.json"});
}

TEST_F(MachineFileTest, SaveKeepsTheFilesOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  const fs::path file = dir_ / "machine.json";
  Machine machine;
  machine.Save(file);
  ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  machine.Save(file);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
  EXPECT_EQ(info.st_gid, 65534u);
}

TEST_F(MachineFileTest, DeepOrHugeDocumentsAreRefusedWithAShortMessage) {
  const std::string head = R"({"format": "nebrin-machine", "version": 1, "x": )";
  for (const std::size_t depth : {std::size_t{kMachineFileMaxDepth}, std::size_t{100000}}) {
    const std::string deep = head + std::string(depth, '[') + std::string(depth, ']') + "}";
    try {
      Machine::FromJsonText(deep);
      FAIL() << "a document nested " << depth << " deep was read";
    } catch (const MachineFileError& e) {
      EXPECT_NE(std::string(e.what()).find("too deep"), std::string::npos) << e.what();
    }
  }
  // Just below the limit the parser goes on (and the reader refuses the unknown member).
  const std::size_t fits = kMachineFileMaxDepth - 2;
  try {
    Machine::FromJsonText(head + std::string(fits, '[') + std::string(fits, ']') + "}");
  } catch (const MachineFileError& e) {
    EXPECT_EQ(std::string(e.what()).find("too deep"), std::string::npos) << e.what();
  }
  // A syntax error inside a huge text quotes only an excerpt of it.
  const std::string huge = head + "\"" + std::string(1 << 20, 'a') + "\x01}";
  try {
    Machine::FromJsonText(huge);
    FAIL() << "a broken document was read";
  } catch (const MachineFileError& e) {
    EXPECT_LT(std::string(e.what()).size(), 400u) << e.what();
  }
}

TEST_F(MachineFileTest, DamagedFilesAreReportedByNameAndLocationAndLeftAlone) {
  const std::string good = Machine().ToJsonText();
  struct Case {
    const char* what;
    std::string text;
    const char* problem;  // part of the message after "<file>: "
  };
  const Case cases[] = {
      {"not JSON", "{\"format\": ", "invalid JSON"},
      {"a number no double holds", R"({"format":"nebrin-machine","version":1,"tickCount":1e400})",
       "invalid JSON: number overflow"},
      {"another format", R"({"format":"other","version":1})", "/format: not a machine file"},
      {"a later version", R"({"format":"nebrin-machine","version":2})",
       "/version: unsupported version 2"},
      {"unknown member", R"({"format":"nebrin-machine","version":1,"sytem":{}})",
       "/sytem: unknown member"},
      {"bad system field", R"({"format":"nebrin-machine","version":1,"system":{"major":"5"}})",
       "/system/major: expected a whole number"},
      {"adapter without guid",
       R"({"format":"nebrin-machine","version":1,"adapters":[{"index":1}]})",
       "/adapters/0: missing \"guid\""},
      {"unknown value type",
       R"({"format":"nebrin-machine","version":1,"registry":{"HKEY_LOCAL_MACHINE":{"keys":{"SYSTEM":{"values":[{"name":"a","type":"REG_SZ","data":"x"},{"name":"b","type":"REG_WHAT","data":1}]}}}}})",
       "/registry/HKEY_LOCAL_MACHINE/keys/SYSTEM/values/1/type: unknown value type \"REG_WHAT\""},
      {"dword too large",
       R"({"format":"nebrin-machine","version":1,"registry":{"HKEY_CURRENT_USER":{"values":[{"name":"n","type":"REG_DWORD","data":4294967296}]}}})",
       "/registry/HKEY_CURRENT_USER/values/0/data: expected a whole number"},
      {"bad hex",
       R"({"format":"nebrin-machine","version":1,"registry":{"HKEY_CURRENT_USER":{"values":[{"name":"n","type":"REG_BINARY","hex":"0g"}]}}})",
       "/registry/HKEY_CURRENT_USER/values/0/hex: not a hex digit"},
      {"key name with a backslash",
       R"({"format":"nebrin-machine","version":1,"registry":{"HKEY_CURRENT_USER":{"keys":{"a\\b":{}}}}})",
       "/registry/HKEY_CURRENT_USER/keys/a\\b: a key name"},
      {"names equal but for case",
       R"({"format":"nebrin-machine","version":1,"registry":{"HKEY_CURRENT_USER":{"keys":{"Soft":{},"SOFT":{}}}}})",
       "/registry/HKEY_CURRENT_USER/keys/SOFT: a key of this name"},
      {"unknown service state",
       R"({"format":"nebrin-machine","version":1,"services":[{"name":"A","state":"paused"}]})",
       "/services/0/state: expected"},
      {"service names equal but for case",
       R"({"format":"nebrin-machine","version":1,"services":[{"name":"Wzc"},{"name":"WZC"}]})",
       "/services/1/name: a service of this name"},
      {"unknown wireless mode",
       R"({"format":"nebrin-machine","version":1,"wireless":{"{G}":{"mode":"mesh"}}})",
       "/wireless/{G}/mode: expected"},
      {"WEP key index beyond 3",
       R"({"format":"nebrin-machine","version":1,"wireless":{"{G}":{"keys":[{"index":4,"key":"12345"}]}}})",
       "/wireless/{G}/keys/0/index: a WEP key index is 0 to 3"},
      {"SSID over 32 bytes",
       R"({"format":"nebrin-machine","version":1,"wireless":{"{G}":{"ssid":"123456789012345678901234567890123"}}})",
       "/wireless/{G}/ssid: an SSID holds at most 32 bytes"},
      {"SSID as text and as hex",
       R"({"format":"nebrin-machine","version":1,"wireless":{"{G}":{"ssid":"a","ssidHex":"61"}}})",
       "/wireless/{G}: \"ssid\" and \"ssidHex\" together"},
      {"unknown authentication",
       R"({"format":"nebrin-machine","version":1,"wireless":{"{G}":{"authentication":"wep"}}})",
       "/wireless/{G}/authentication: unknown name"},
      {"unknown sharing service state",
       R"({"format":"nebrin-machine","version":1,"sharingService":"paused"})",
       "/sharingService: expected \"running\", \"stopped\" or \"disabled\""},
      {"setup files equal but for case",
       R"({"format":"nebrin-machine","version":1,"networkConfiguration":{"setupFiles":[{"name":"oem0.inf"},{"name":"OEM0.INF"}]}})",
       "/networkConfiguration/setupFiles/1/name: a setup file of this name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path file = dir_ / "damaged.json";
    WriteFile(file, c.text);
    try {
      Machine::Load(file);
      ADD_FAILURE() << "loaded";
    } catch (const MachineFileError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(file.string() + ": ", 0), 0u) << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    }
    EXPECT_EQ(ReadFile(file), c.text);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"damaged.json"});
  }
  // Sanity check of the fixture texts: the bare machine's own file loads.
  WriteFile(dir_ / "damaged.json", good);
  EXPECT_NO_THROW(Machine::Load(dir_ / "damaged.json"));
}

TEST_F(MachineFileTest, MissingFileIsReportedByName) {
  const fs::path file = dir_ / "absent.json";
  try {
    Machine::Load(file);
    FAIL() << "loaded a missing file";
  } catch (const MachineFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(file.string() + ": cannot open", 0), 0u) << e.what();
  }
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(MachineFileTest, SmallHandWrittenFileTakesDefaults) {
  auto machine = Machine::FromJsonText(R"({
    "format": "nebrin-machine", "version": 1,
    "system": {"administrator": false},
    "adapters": [{"guid": "{G}", "index": 3}],
    "processes": {"started": [["C:\\a.exe", "a -x"]]},
    "registry": {"HKEY_CURRENT_USER": {"keys": {"Software": {}}}}
  })");
  const SystemState& s = machine->system_state();
  EXPECT_FALSE(s.administrator);
  EXPECT_EQ(s.version.build, 2600u);
  EXPECT_EQ(s.ansiCodePage, 1252u);
  ASSERT_EQ(machine->listed_adapters().size(), 1u);
  EXPECT_EQ(machine->listed_adapters()[0].type, 6u);
  EXPECT_EQ(machine->listed_adapters()[0].index, 3u);
  EXPECT_EQ(machine->sharing_service(), SharingServiceState::Running);
  EXPECT_TRUE(machine->KeyExists(kHkcu, "Software"));
  EXPECT_TRUE(machine->SubkeyNames(kHklm, "").empty());
  // A start as files before the show command recorded it.
  ASSERT_EQ(machine->process_state().started.size(), 1u);
  EXPECT_EQ(machine->process_state().started[0].application, "C:\\a.exe");
  EXPECT_EQ(machine->process_state().started[0].commandLine, "a -x");
  EXPECT_EQ(machine->process_state().started[0].showCommand, 1u);
}

}  // namespace
}  // namespace nebrin::sim
