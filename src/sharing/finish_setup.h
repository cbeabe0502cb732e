// The steps that end a sharing set-up once its switches are made.
#pragma once

#include "NebrinCoreDll.h"

namespace nebrin::sharing {

// Makes the profile's printer the default when it asks for that (the spooler's answer is not
// examined), writes the machine-wide wireless key for a private wireless network or removes it
// otherwise (24 or 25 when that fails), and records the profile as the last applied one:
// `applied` when it was recorded, `notRecorded` when not.
int FinishSetup(CNetInfoManage& manage, EnvInfoStr& env, int applied, int notRecorded);

}  // namespace nebrin::sharing
