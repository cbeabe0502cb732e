// The machine file's JSON form: from the model to a document and back. The file's layout is
// described in docs/machine-file.md.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/sim/machine.h"

namespace nebrin::sim {

// Objects keep their members in the order written, so values and keys read back in their order.
using Json = nlohmann::ordered_json;

Json MachineToJson(const Machine::State& state);
// Fills a fresh model from a document; throws MachineFileError naming the JSON location
// ("/registry/HKEY_LOCAL_MACHINE/keys/SYSTEM/values/2/type: ...").
void MachineFromJson(const Json& document, Machine::State& state);

}  // namespace nebrin::sim
