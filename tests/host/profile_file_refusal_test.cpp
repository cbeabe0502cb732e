// Damaged profile files and unusable --map entries: each is refused with one sentence naming the
// profile and the field, and the store stays exactly as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/profile_file_fixture.h"
#include "support/sim_fixture.h"

namespace {

using namespace nebrin::testing;
using nebrin::host::ImportOptions;
using nebrin::host::Refusal;
using nlohmann::json;

struct Damage {
  std::string name;
  std::function<void(json&)> damage;  // applied to a good file of the three profiles
  std::string refusal;                // what the refusal says (a part of it)
  ImportOptions options{};
  std::string text{};  // used instead of the damaged document when set
};

class ProfileFileRefusalTest : public SimTest {};

TEST_F(ProfileFileRefusalTest, DamagedFilesAreRefusedAndTheStoreStaysAsItWas) {
  const std::string office = "the 1st profile (\"Office\")";
  const std::string host = "the 2nd profile (\"Cafe host\")";
  const std::string client = "the 3rd profile (\"Client\")";
  auto adapter = [](json& doc, int p, int a) -> json& { return doc["profiles"][p]["adapters"][a]; };
  const std::vector<Damage> cases = {
      {"not JSON",
       nullptr,
       "is not a JSON document (the error is at byte 12)",
       {},
       "{\"format\": ,"},
      {"another format", [](json& d) { d["format"] = "nebrin-machine"; },
       "it is not a profile file: \"format\" is \"nebrin-machine\""},
      {"a later version", [](json& d) { d["version"] = 2; },
       "it is a profile file of version 2; this nebrin reads version 1"},
      {"a missing field", [](json& d) { d["profiles"][2].erase("IconIndex"); },
       client + ": \"IconIndex\" is missing"},
      {"a missing adapter field", [&](json& d) { adapter(d, 0, 1).erase("Metric"); },
       office + ", adapter 1: \"Metric\" is missing"},
      {"a number as text", [](json& d) { d["profiles"][1]["IconIndex"] = "5"; },
       host + ": \"IconIndex\" must be a whole number, not text"},
      {"a fractional number", [](json& d) { d["profiles"][1]["IconIndex"] = 5.5; },
       host + ": \"IconIndex\" must be a whole number, not a fractional number"},
      {"a number out of range", [](json& d) { d["profiles"][1]["IconIndex"] = 4294967296LL; },
       host + ": \"IconIndex\" is out of range"},
      {"text as a number", [&](json& d) { adapter(d, 0, 0)["ConnectionName"] = 7; },
       office + ", adapter 0: \"ConnectionName\" must be text, not a whole number"},
      {"a flag of 2", [](json& d) { d["profiles"][0]["bDefaultPrinterFlag"] = 2; },
       office + ": \"bDefaultPrinterFlag\" must be 0 or 1, not 2"},
      {"a flag as true", [](json& d) { d["profiles"][1]["bICFFlag"] = true; },
       host + ": \"bICFFlag\" must be 0 or 1, not true"},
      {"an unknown role", [](json& d) { d["profiles"][1]["nICSFlag"] = "Server"; },
       host + ": \"nICSFlag\" must be \"normal\", \"server\" or \"client\", not \"Server\""},
      {"an unknown mode", [&](json& d) { adapter(d, 0, 0)["DhcpEnabled"] = "auto"; },
       office + ", adapter 0: \"DhcpEnabled\" must be \"yes\" or \"no\", not \"auto\""},
      {"an unknown medium", [&](json& d) { adapter(d, 0, 1)["MediaSubType"] = "wifi"; },
       office + ", adapter 1: \"MediaSubType\" must be \"line\", \"air\" or \"na\""},
      {"an over-long name", [](json& d) { d["profiles"][0]["ProfileName"] = std::string(50, 'n'); },
       "(\"" + std::string(50, 'n') + "\"): \"ProfileName\" \"" + std::string(50, 'n') +
           "\" is too long (at most 49 characters)"},
      {"an over-long key text",
       [](json& d) { d["profiles"][1]["strWLANPassWord"] = std::string(50, 'k'); },
       host + ": \"strWLANPassWord\" \"" + std::string(50, 'k') + "\" is too long (at most 49"},
      {"an empty name", [](json& d) { d["profiles"][0]["ProfileName"] = ""; },
       "the 1st profile (\"\"): \"ProfileName\" is empty"},
      {"a NUL in a text",
       [](json& d) { d["profiles"][2]["strWLANConnectionName"] = std::string("a\0b", 3); },
       client + ": \"strWLANConnectionName\" holds a NUL character"},
      {"a newline in a connection name",
       [&](json& d) { adapter(d, 0, 0)["ConnectionName"] = "LAN\nforged line"; },
       office + ", adapter 0: \"ConnectionName\" holds a control character"},
      {"a bad address", [&](json& d) { adapter(d, 0, 1)["IpAddressList"] = "10.0.0.300"; },
       office + ", adapter 1: \"IpAddressList\" \"10.0.0.300\" is not a dotted IPv4 address"},
      {"a bad DNS server", [&](json& d) { adapter(d, 2, 0)["SecondaryDnsServer"] = "10.0.0.2,"; },
       client + ", adapter 0: \"SecondaryDnsServer\" \"10.0.0.2,\" is not a dotted IPv4 address"},
      {"a mask that is no mask", [&](json& d) { adapter(d, 0, 1)["SubnetMask"] = "255.0.255.0"; },
       office + ", adapter 1: \"SubnetMask\" \"255.0.255.0\" is not a subnet mask"},
      {"a static adapter without address", [&](json& d) { adapter(d, 0, 1)["IpAddressList"] = ""; },
       office + ", adapter 1: \"IpAddressList\" is empty; a static adapter needs it"},
      {"a metric that is no number", [&](json& d) { adapter(d, 0, 1)["Metric"] = "-1"; },
       office + ", adapter 1: \"Metric\" \"-1\" is not a decimal number"},
      {"eleven adapters",
       [](json& d) {
         json& p = d["profiles"][0];
         while (p["adapters"].size() < 11) p["adapters"].push_back(p["adapters"][0]);
         p["AdapterCount"] = 11;
       },
       office + ": \"adapters\" holds 11 adapters; a profile has at most 10"},
      {"a count that disagrees", [](json& d) { d["profiles"][2]["AdapterCount"] = 2; },
       client + ": \"AdapterCount\" is 2, but \"adapters\" holds 1"},
      {"an unknown member", [](json& d) { d["profiles"][0]["Colour"] = "red"; },
       office + ": \"Colour\" is not a member of a profile"},
      {"an unknown GUID without mapping",
       [&](json& d) {
         adapter(d, 2, 0)["AdapterName"] = "{00000000-0000-4000-8000-000000000000}";
         adapter(d, 2, 0)["ConnectionName"] = "Nowhere";
       },
       client + ", adapter 0: this machine has no adapter {00000000-0000-4000-8000-000000000000} "
                "and none named \"Nowhere\""},
      {"an unknown sharing GUID",
       [](json& d) {
         d["profiles"][1]["strPublicDevGUID"] = "{99999999-0000-4000-8000-000000000000}";
       },
       host + ", sharing adapter \"strPublicDevGUID\": this machine has no adapter "
              "{99999999-0000-4000-8000-000000000000}"},
      // The private wireless network needs a wireless private adapter, as save and edit say.
      {"a private wireless network on the wired adapter",
       [](json& d) {
         std::swap(d["profiles"][1]["strPublicDevGUID"], d["profiles"][1]["strPrivateDevGUID"]);
       },
       host + ": \"bPrivateWlan\" is 1, but the private adapter (Local Area Connection) is not a "
              "wireless adapter, so it cannot carry a private wireless network"},
      {"two adapters on one", [&](json& d) { adapter(d, 0, 1) = adapter(d, 0, 0); },
       office + ": adapters 0 and 1 would both be this machine's adapter 0"},
      {"a --map past this machine's adapters",
       nullptr,
       "--map {6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}=2: this machine has adapters 0 to 1",
       {{{"{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}", 2}}, false}},
      {"a --map of an adapter the file does not use",
       nullptr,
       "no profile in the file uses adapter {1234}",
       {{{"{1234}", 0}}, false}},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    Use(MachineWithProfiles());
    json doc = json::parse(ExportAll(true));
    if (c.damage) c.damage(doc);
    const std::string before = machine().ToJsonText();
    std::string refusal = "(no refusal)";
    try {
      Import(c.text.empty() ? doc.dump() : c.text, c.options);
    } catch (const Refusal& e) {
      refusal = e.what();
    }
    EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
    EXPECT_EQ(refusal.find('\n') == std::string::npos, c.name.find("GUID") == std::string::npos)
        << "one sentence, except the list of adapters: " << refusal;
    EXPECT_EQ(FirstDifference(before, machine().ToJsonText()), "");
  }
}

}  // namespace
