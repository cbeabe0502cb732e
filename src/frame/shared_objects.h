// The library's own objects, created when it is loaded and kept until it is unloaded. They serve
// as call targets when an operation of one class needs an operation of another.
#pragma once

#include "NebrinCoreDll.h"

namespace nebrin::frame {

CNetInfoRetrieve& SharedRetrieve();
CNetInfoManage& SharedManage();
CWLanControl& SharedWLan();

}  // namespace nebrin::frame
