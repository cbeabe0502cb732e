// Loading a stored profile into the caller's records, the last applied profile, and remembering
// which profile that was.
#include <string>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "frame/shared_objects.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "store/store_keys.h"
#include "store/store_lock.h"
#include "store/value_reader.h"

namespace nebrin::store {
namespace {

using platform::Access;
using platform::kCurrentUser;
using platform::kSuccess;
using platform::Registry;
using platform::UniqueKey;

// The profile's own values, in the order the store's readers have always read them. Values the
// sharing role and flags do not call for are not read.
bool LoadProfileValues(ValueReader& read, EnvInfoStr& env) {
  int adapterCount = 0;
  if (!read.Text(u"ProfileName", env.ProfileName) ||
      !read.Number(u"nProfileKey", env.nProfileKey) || !read.Number(u"IconIndex", env.IconIndex) ||
      !read.Number(u"AdapterCount", adapterCount)) {
    return false;
  }
  // More adapters than the record's ten entries cannot be loaded.
  if (!ValidAdapterCount(adapterCount)) return false;
  env.AdapterCount = adapterCount;

  if (!read.Flag(u"bDefaultPrinterFlag", env.bDefaultPrinterFlag)) return false;
  if (env.bDefaultPrinterFlag == 1 && !read.Text(u"strPrinterName", env.strPrinterName))
    return false;
  if (!read.SharingRole(u"nICSFlag", env.nICSFlag)) return false;

  if (env.nICSFlag == 1) {
    if (!read.Text(u"strPublicDevGUID", env.strPublicDevGUID) ||
        !read.Text(u"strPrivateDevGUID", env.strPrivateDevGUID) ||
        !read.Flag(u"bICFFlag", env.bICFFlag) || !read.Flag(u"bPrivateWlan", env.bPrivateWlan)) {
      return false;
    }
  } else if (env.nICSFlag == 2) {
    if (!read.Text(u"strPrivateDevGUID", env.strPrivateDevGUID) ||
        !read.Flag(u"bPrivateWlan", env.bPrivateWlan)) {
      return false;
    }
  }
  if ((env.nICSFlag == 1 || env.nICSFlag == 2) && env.bPrivateWlan == 1) {
    if (!read.Text(u"strWLANConnectionName", env.strWLANConnectionName) ||
        !read.Flag(u"bWLANWebKeyUse", env.bWLANWebKeyUse)) {
      return false;
    }
    if (env.bWLANWebKeyUse == 1 && !read.Text(u"strWLANPassWord", env.strWLANPassWord))
      return false;
  }
  return true;
}

// One adapter key. A DHCP adapter takes its addresses from its current lease; a static one from
// the store, where the gateway, WINS and DNS values may be missing (but not unreadable).
bool LoadAdapter(Registry& registry, int profile, int index, AdapterInfoStr* adapters) {
  UniqueKey key;
  if (platform::OpenKey(registry, kCurrentUser, AdapterKeyPath(profile, index), Access::Read,
                        key) != kSuccess) {
    return false;
  }
  AdapterInfoStr& a = adapters[index];
  ValueReader read(registry, key.get());
  if (!read.Text(u"AdapterName", a.AdapterName) ||
      !read.Text(u"ConnectionName", a.ConnectionName) || !read.Text(u"DeviceDesc", a.DeviceDesc) ||
      !read.Text(u"DhcpEnabled", a.DhcpEnabled)) {
    return false;
  }
  if (!frame::FieldIs(a.DhcpEnabled, u"no")) {
    frame::SharedManage().GetDHCPIP(index, profile, adapters);  // its result does not count
  } else {
    if (!read.Text(u"IpAddressList", a.IpAddressList) || !read.Text(u"Metric", a.Metric) ||
        !read.Text(u"SubnetMask", a.SubnetMask)) {
      return false;
    }
    if (!read.OptionalText(u"GatewayList", a.GatewayList) ||
        !read.OptionalText(u"PrimaryWinsServer", a.PrimaryWinsServer) ||
        !read.OptionalText(u"SecondaryWinsServer", a.SecondaryWinsServer) ||
        !read.OptionalText(u"PrimaryDnsServer", a.PrimaryDnsServer) ||
        !read.OptionalText(u"SecondaryDnsServer", a.SecondaryDnsServer)) {
      return false;
    }
  }
  return read.Text(u"MediaSubType", a.MediaSubType);
}

}  // namespace
}  // namespace nebrin::store

using namespace nebrin;

int CNetInfoRetrieve::GetInfoFromRegistry(int profileNumber, EnvInfoStr* env,
                                          AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    if (env == nullptr || adapters == nullptr) return 0;
    platform::Registry& registry = platform::Current().registry();
    {
      platform::UniqueKey profile;
      if (platform::OpenKey(registry, platform::kCurrentUser, store::ProfileKeyPath(profileNumber),
                            platform::Access::Read, profile) != platform::kSuccess) {
        return 0;
      }
      store::ValueReader read(registry, profile.get());
      if (!store::LoadProfileValues(read, *env)) return 0;
    }
    for (int i = 0; i < env->AdapterCount; ++i) {
      if (!store::LoadAdapter(registry, profileNumber, i, adapters)) return 0;
    }
    return 1;
  });
}

int CNetInfoRetrieve::GetCurrentProfileInfo(EnvInfoStr* env, AdapterInfoStr* adapters) {
  return nebrin::frame::Guarded(0, [&] {
    int last = 0;
    {
      platform::UniqueKey root;
      if (!store::ReadRootNumber(platform::Current().registry(), u"LastProfileNo", root, last))
        return 0;
    }
    return GetInfoFromRegistry(last, env, adapters);
  });
}

int CNetInfoManage::SetLastProfileNo(int profileNumber) {
  return nebrin::frame::Guarded(0, [&] {
    store::StoreWriteLock lock(platform::Current());
    if (!lock.held()) return 0;
    platform::Registry& registry = platform::Current().registry();
    platform::UniqueKey root;
    // The store root must already exist: remembering a profile never creates the store.
    if (platform::OpenKey(registry, platform::kCurrentUser, store::kStoreRoot,
                          platform::Access::Write, root) != platform::kSuccess) {
      return 0;
    }
    return store::WriteText(registry, root.get(), u"LastProfileNo",
                            store::DecimalText(profileNumber)) == platform::kSuccess
               ? 1
               : 0;
  });
}
