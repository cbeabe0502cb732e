#include "sharing_options.h"

#include <CLI/CLI.hpp>

namespace nebrin::host {
namespace {

// An adapter index as typed: one or two decimal digits.
int AdapterIndex(const std::string& typed, const char* option) {
  const bool digits = !typed.empty() && typed.size() <= 2 &&
                      typed.find_first_not_of("0123456789") == std::string::npos;
  if (!digits) throw Refusal(std::string(option) + ": \"" + typed + "\" is not an adapter index");
  return std::stoi(typed);
}

// The GUID of adapter `typed` of the profile, refusing an index the profile does not have and an
// adapter stored without a GUID (it would name no connection and no adapter).
std::string AdapterGuid(const HostProfile& p, const std::string& typed, const char* option) {
  const int index = AdapterIndex(typed, option);
  if (index >= p.env.AdapterCount) {
    throw Refusal(std::string(option) + ": the profile has " + std::to_string(p.env.AdapterCount) +
                  (p.env.AdapterCount == 1 ? " adapter" : " adapters") +
                  ", so there is no adapter " + typed);
  }
  std::string guid = FieldUtf8(p.adapters[index].AdapterName);
  if (guid.empty()) {
    throw Refusal(std::string(option) + ": adapter " + typed +
                  " of the profile has no adapter GUID, so it cannot be shared");
  }
  return guid;
}

// The profile's adapter with this GUID, as "I (connection name)".
std::string AdapterLabel(const HostProfile& p, const std::string& guid) {
  for (int i = 0; i < p.env.AdapterCount; ++i) {
    if (FieldUtf8(p.adapters[i].AdapterName) == guid) {
      return std::to_string(i) + " (" + FieldUtf8(p.adapters[i].ConnectionName) + ")";
    }
  }
  return guid;
}

}  // namespace

bool SharingChoice::Given() const {
  return role || publicIndex || privateIndex || firewall || privateWlan;
}

void AddSharingOptions(CLI::App* command, SharingChoice& choice) {
  command->add_option_function<std::string>(
      "--sharing", [&choice](const std::string& v) { choice.role = v; },
      "Connection sharing: none, host or client");
  command->add_option_function<std::string>(
      "--public", [&choice](const std::string& v) { choice.publicIndex = v; },
      "Sharing host: index of the adapter facing the internet");
  command->add_option_function<std::string>(
      "--private", [&choice](const std::string& v) { choice.privateIndex = v; },
      "Index of the adapter on the shared private network");
  command->add_flag("--firewall", choice.firewall,
                    "Sharing host: switch the firewall of the public connection on");
  command->add_flag("--private-wlan", choice.privateWlan,
                    "The private network is a wireless network the profile makes");
}

void CheckSharingChoice(const SharingChoice& c) {
  if (!c.Given()) return;
  if (!c.role) {
    throw Refusal(
        "--public, --private, --firewall and --private-wlan need --sharing host or "
        "--sharing client");
  }
  if (*c.role == "none") {
    if (c.publicIndex || c.privateIndex || c.firewall || c.privateWlan) {
      throw Refusal("--sharing none takes no other sharing option");
    }
    return;
  }
  if (*c.role == "host") {
    if (!c.publicIndex || !c.privateIndex) {
      throw Refusal("a sharing host needs both --public and --private");
    }
  } else if (*c.role == "client") {
    if (!c.privateIndex) throw Refusal("a sharing client needs --private");
    if (c.publicIndex || c.firewall) {
      throw Refusal(
          "a sharing client has no public adapter: --public and --firewall are for "
          "a sharing host");
    }
  } else {
    throw Refusal("--sharing: \"" + *c.role + "\" is not none, host or client");
  }
  if (c.publicIndex) AdapterIndex(*c.publicIndex, "--public");
  const int privateIndex = AdapterIndex(*c.privateIndex, "--private");
  if (c.publicIndex && AdapterIndex(*c.publicIndex, "--public") == privateIndex) {
    throw Refusal("the same adapter cannot be both public and private");
  }
}

void ApplySharingChoice(const SharingChoice& c, HostProfile& p) {
  if (!c.role) return;
  EnvInfoStr& env = p.env;
  std::string publicGuid;
  std::string privateGuid;
  if (*c.role != "none") {
    if (c.publicIndex) publicGuid = AdapterGuid(p, *c.publicIndex, "--public");
    privateGuid = AdapterGuid(p, *c.privateIndex, "--private");
    if (c.publicIndex && publicGuid == privateGuid) {
      throw Refusal("adapters " + *c.publicIndex + " and " + *c.privateIndex +
                    " are the same adapter, which cannot be both public and private");
    }
    // The private wireless network is made on the private adapter by the ad hoc tool and
    // announced machine-wide: a wired adapter cannot carry it.
    const AdapterInfoStr& privateAdapter = p.adapters[AdapterIndex(*c.privateIndex, "--private")];
    if (c.privateWlan && FieldUtf8(privateAdapter.MediaSubType) != "air") {
      throw Refusal("--private-wlan: the private adapter " + *c.privateIndex + " (" +
                    FieldUtf8(privateAdapter.ConnectionName) +
                    ") is not a wireless adapter, so it cannot carry a private wireless network");
    }
  }
  env.nICSFlag = *c.role == "host" ? 1 : (*c.role == "client" ? 2 : 0);
  SetText(env.strPublicDevGUID, publicGuid, "the public adapter");
  SetText(env.strPrivateDevGUID, privateGuid, "the private adapter");
  env.bICFFlag = c.firewall ? 1 : 0;
  env.bPrivateWlan = c.privateWlan ? 1 : 0;
}

std::string DescribeSharing(const HostProfile& p) {
  const EnvInfoStr& env = p.env;
  // A flag counts as set when it is non-zero, as the library takes it.
  const std::string wlan = env.bPrivateWlan != 0 ? ", a private wireless network" : "";
  if (env.nICSFlag == 1) {
    return "sharing host: public adapter " + AdapterLabel(p, FieldUtf8(env.strPublicDevGUID)) +
           ", private adapter " + AdapterLabel(p, FieldUtf8(env.strPrivateDevGUID)) +
           ", firewall " + (env.bICFFlag != 0 ? "on" : "off") + wlan;
  }
  if (env.nICSFlag == 2) {
    return "sharing client: private adapter " + AdapterLabel(p, FieldUtf8(env.strPrivateDevGUID)) +
           wlan;
  }
  return "no sharing";
}

}  // namespace nebrin::host
