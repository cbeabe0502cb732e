// Machines with stored profiles for the profile file tests, and the host's export and import
// run in-process, as `nebrin export` and `nebrin import` run them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_profile.h"
#include "platform/sim/machine.h"
#include "profile_import.h"

namespace nebrin::testing {

// The other machine's adapters: the same two kinds as the demo machine's, under other GUIDs.
inline const std::string kOtherWiredGuid = "{11111111-2222-4333-8444-555555555555}";
inline const std::string kOtherWirelessGuid = "{66666666-7777-4888-9999-AAAAAAAAAAAA}";

// The demo machine with three profiles stored through the library: "Office" (both adapters, a
// printer made the default), "Cafe host" (sharing host: wired public side, wireless private
// side with a WEP key, firewall on) and "Client" (sharing client on the wireless adapter only).
// Profile 0 was applied last.
std::shared_ptr<sim::Machine> MachineWithProfiles();

// A machine with a wired DHCP adapter and a wireless static one under the other GUIDs, with
// these connection names; no profiles.
std::shared_ptr<sim::Machine> OtherMachine(const std::string& wiredName,
                                           const std::string& wirelessName);

// Every stored profile, loaded as export loads it.
std::vector<host::HostProfile> LoadAll();

// The profile file of every stored profile.
std::string ExportAll(bool withSecrets);

// "" when two machine files are the same text, else the first line where they differ: a short
// message where a whole machine would bury the change.
std::string FirstDifference(const std::string& before, const std::string& after);

// Reads and imports a file on the installed machine, as `nebrin import` does.
host::ImportReport Import(const std::string& text, const host::ImportOptions& options = {});

}  // namespace nebrin::testing
