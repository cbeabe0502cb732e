// Showing a stored profile: a text summary with its adapters, or JSON with the records' names.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "host_profile.h"

namespace nebrin::host {

void PrintProfile(std::ostream& out, const HostProfile& profile);
nlohmann::json ProfileJson(const HostProfile& profile);

}  // namespace nebrin::host
