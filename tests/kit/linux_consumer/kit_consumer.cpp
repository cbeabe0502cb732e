// Calls the installed library through the kit's header: the records are emptied as documented
// and a constant member answers 1. Exit status 0 when both hold.
#include <cstdio>
#include <cstring>

#include "NebrinCoreDll.h"

int main() {
  static EnvInfoStr env;
  static AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  std::memset(&env, 0x55, sizeof(env));
  CCommonFtn common;
  common.InitStructure(&env, adapters);
  const bool emptied = env.nProfileKey == -1 && env.AdapterCount == 0 && env.ProfileName[0] == 0;
  const bool constant = common.CheckOSVersion() == 1;
  std::printf("%s InitStructure empties the record\n%s CheckOSVersion answers 1\n",
              emptied ? "ok    " : "FAILED", constant ? "ok    " : "FAILED");
  return emptied && constant ? 0 : 1;
}
