#include "frame/shared_objects.h"

namespace nebrin::frame {
namespace {

// Constructed in this order at load; static storage starts the wireless flag at 0.
CNetInfoRetrieve g_retrieve;
CNetInfoManage g_manage;
CWLanControl g_wlan;

}  // namespace

CNetInfoRetrieve& SharedRetrieve() { return g_retrieve; }
CNetInfoManage& SharedManage() { return g_manage; }
CWLanControl& SharedWLan() { return g_wlan; }

}  // namespace nebrin::frame
