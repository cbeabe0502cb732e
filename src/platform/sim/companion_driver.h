// The simulated companion protocol driver's 802.11 set requests: a record (Oid and payload) is
// decoded by its layout and applied to the bound adapter's 802.11 state, following the NDIS rules
// for each request.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sim/wireless_model.h"
#include "platform/status.h"

namespace nebrin::sim {

// Applies one set request to `adapter`. Returns kSuccess, or the error the driver answers with
// (the adapter is then unchanged): ERROR_NOT_SUPPORTED for a wired adapter or an Oid the driver
// does not know, ERROR_INVALID_PARAMETER for a record too short for its Oid or a value the Oid
// does not take, ERROR_NOT_READY for a disassociation while not associated.
platform::Status ApplySetRequest(const std::vector<std::uint8_t>& record, bool wireless,
                                 SimWirelessAdapter& adapter);

}  // namespace nebrin::sim
