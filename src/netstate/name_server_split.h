// Splitting a name-server list ("a b" from DHCP, "a,b" set by hand) into an adapter record's
// primary and secondary DNS fields.
#pragma once

#include "NebrinCoreDll.h"

namespace nebrin::netstate {

// Writes the first two servers of `list` into the entry; a server longer than the field holds
// is cut short. Only fields a character reaches are written.
void SplitNameServers(AdapterInfoStr& entry, const NebrinChar* list, NebrinChar separator);

}  // namespace nebrin::netstate
