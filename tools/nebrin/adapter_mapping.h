// Matching the adapters of imported profiles to this machine's adapters. A profile carries the
// GUIDs of the machine it was captured on; on another machine the same network card has another
// GUID, so an adapter is matched by a --map entry, else by its GUID, else by its connection name.
#pragma once

#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "profile_file.h"

namespace nebrin::host {

// --map GUID=INDEX: the file's adapter GUID goes to this machine's adapter INDEX (the number
// `nebrin adapters` shows).
struct AdapterMap {
  std::string guid;
  int index = 0;
};

// Reads "GUID=INDEX"; refuses anything else.
AdapterMap ParseAdapterMap(const std::string& typed);

// True when some profile has adapters or a sharing role that names an adapter, so this machine's
// adapters are needed.
bool NeedsAdapters(const std::vector<FileProfile>& profiles);

// Points every adapter of the profiles, and the sharing adapters their roles use, at one of
// `here` (this machine's adapters in discovery order). A matched adapter takes this machine's
// identity (`AdapterName`, `ConnectionName`, `DeviceDesc`, `MediaSubType`) and keeps the file's
// address settings. Returns one line for each adapter whose identity changed. Throws Refusal,
// listing this machine's adapters and the --map hint, when an adapter has no match, and when
// a --map entry is unusable or two adapters of one profile would share one adapter here.
std::vector<std::string> MapAdapters(std::vector<FileProfile>& profiles,
                                     const std::vector<AdapterInfoStr>& here,
                                     const std::vector<AdapterMap>& maps);

}  // namespace nebrin::host
