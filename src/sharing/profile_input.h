// The records the sharing members accept: a profile record and its adapter array, both present,
// and, where the adapter entries are read, an `AdapterCount` inside the ten adapter records, so
// that nothing past the tenth is read.
#pragma once

#include "NebrinCoreDll.h"

namespace nebrin::sharing {

inline bool RecordsPresent(const EnvInfoStr* env, const AdapterInfoStr* adapters) {
  return env != nullptr && adapters != nullptr;
}

inline bool ValidProfile(const EnvInfoStr* env, const AdapterInfoStr* adapters) {
  return env != nullptr && adapters != nullptr && env->AdapterCount >= 0 &&
         env->AdapterCount <= NEBRIN_ADAPTER_RECORDS;
}

}  // namespace nebrin::sharing
