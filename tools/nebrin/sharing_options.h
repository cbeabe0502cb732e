// The sharing choice of a profile as `save` and `edit` take it: --sharing none|host|client,
// --public I and --private J (adapter indexes of the profile, whose GUIDs are stored),
// --firewall and --private-wlan.
#pragma once

#include <optional>
#include <string>

#include "host_profile.h"

namespace CLI {
class App;
}

namespace nebrin::host {

struct SharingChoice {
  std::optional<std::string> role;
  std::optional<std::string> publicIndex;
  std::optional<std::string> privateIndex;
  bool firewall = false;
  bool privateWlan = false;

  bool Given() const;
};

void AddSharingOptions(CLI::App* command, SharingChoice& choice);

// Refuses a choice that is not whole or not consistent, before anything is loaded or written.
void CheckSharingChoice(const SharingChoice& choice);

// Sets the profile's sharing fields (nICSFlag, the two GUIDs, bICFFlag, bPrivateWlan) from a
// checked choice; refuses an index that is not one of the profile's adapters.
void ApplySharingChoice(const SharingChoice& choice, HostProfile& profile);

// "no sharing", or the role with its adapters, for the sentences the commands print.
std::string DescribeSharing(const HostProfile& profile);

}  // namespace nebrin::host
