// Records as JSON for scripts, with the records' own field names.
#pragma once

#include <nlohmann/json.hpp>

#include "NebrinCoreDll.h"

namespace nebrin::host {

nlohmann::json AdapterJson(const AdapterInfoStr& adapter);

}  // namespace nebrin::host
