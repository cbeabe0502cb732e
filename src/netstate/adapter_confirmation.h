// Confirming an adapter against the system's adapter list: the listed names as UTF-16, and whether
// the list shows an adapter in the mode and, for a fixed address, with the address a profile
// entry gives it.
#pragma once

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "platform/adapter_list.h"

namespace nebrin::netstate {

// The listed adapter's name as UTF-16 (ANSI code page), or false when it does not convert or
// does not fit the 200 units the comparison gives it.
bool ListedName(const platform::AdapterListEntry& listed, std::u16string& name);

// Whether the list shows the entry's adapter in the entry's mode: for a DHCP entry ("yes") an
// adapter of that name on DHCP; otherwise one of that name with a fixed address whose first
// "IPAddress" string is the entry's address.
bool Confirms(const std::vector<platform::AdapterListEntry>& entries, const AdapterInfoStr& entry);

}  // namespace nebrin::netstate
