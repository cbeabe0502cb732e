// The protocol-driver channel: a handle to the companion driver's control device bound to one
// adapter, and the 802.11 set requests sent through it. The caller owns the handle from the
// moment OpenDevice hands it out; the library never closes a handle it handed out.
#include <cstdint>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/out_argument.h"
#include "frame/record_text.h"
#include "platform/platform.h"
#include "wlan/control_device.h"
#include "wlan/driver_requests.h"
#include "wlan/service_status.h"

namespace nebrin::wlan {
namespace {

platform::DeviceHandle ToDevice(NebrinHandle handle) {
  return reinterpret_cast<platform::DeviceHandle>(handle);
}

bool IsInvalid(NebrinHandle handle) { return ToDevice(handle) == platform::kInvalidDevice; }

// Sends one set request on a bound handle: 0, or HRESULT_FROM_WIN32 of the driver's error.
int SendSetRequest(NebrinHandle handle, const std::vector<std::uint8_t>& record) {
  const platform::Status sent =
      platform::Current().deviceIo().Control(ToDevice(handle), kIoctlSetOid, record);
  return sent == platform::kSuccess ? 0 : ErrorStatus(sent);
}

int SetValue(NebrinHandle handle, std::uint32_t oid, std::uint32_t value) {
  if (IsInvalid(handle)) return platform::kEInvalidArg;
  return SendSetRequest(handle, ValueRequest(oid, value));
}

}  // namespace
}  // namespace nebrin::wlan

int CWLanControl::OpenDevice(NebrinChar* adapterName, NebrinHandle& device) {
  using namespace nebrin;
  NebrinHandle* const out = frame::OutArgument(&device);
  return frame::Guarded(wlan::kOutOfMemoryStatus, [this, adapterName, out] {
    if (adapterName == nullptr || out == nullptr) return platform::kEPointer;
    // The binding name's buffer holds "\DEVICE\" and 191 characters of adapter name.
    const std::u16string name = frame::ParamText(adapterName);
    if (name.size() > wlan::kMaxAdapterName) return platform::kEInvalidArg;
    const std::u16string binding = std::u16string(wlan::kBindingPrefix) + name;

    platform::DeviceIo& devices = platform::Current().deviceIo();
    platform::UniqueDevice control(devices);
    if (const int opened =
            wlan::OpenControlDevice(*this, platform::Disposition::CreateAlways, control)) {
      return opened;
    }
    // A handle that cannot be bound is closed here: it is never handed out.
    if (platform::Status error = devices.Control(control.get(), wlan::kIoctlBindWait, {})) {
      return wlan::ErrorStatus(error);
    }
    if (platform::Status error =
            devices.Control(control.get(), wlan::kIoctlOpenDevice, wlan::BindingRequest(binding))) {
      return wlan::ErrorStatus(error);
    }
    *out = reinterpret_cast<NebrinHandle>(control.release());
    return 0;
  });
}

int CWLanControl::SetInfrastructureMode(NebrinHandle device,
                                        NDIS_802_11_NETWORK_INFRASTRUCTURE mode) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    return wlan::SetValue(device, wlan::kOidInfrastructureMode, static_cast<std::uint32_t>(mode));
  });
}

int CWLanControl::SetAuthenticationMode(NebrinHandle device, NDIS_802_11_AUTHENTICATION_MODE mode) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    return wlan::SetValue(device, wlan::kOidAuthenticationMode, static_cast<std::uint32_t>(mode));
  });
}

int CWLanControl::SetWepStatus(NebrinHandle device, NDIS_802_11_WEP_STATUS status) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    return wlan::SetValue(device, wlan::kOidWepStatus, static_cast<std::uint32_t>(status));
  });
}

// The value word of a disassociation carries no meaning; it is sent as zero.
int CWLanControl::Dissociate(NebrinHandle device) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus,
                        [&] { return wlan::SetValue(device, wlan::kOidDisassociate, 0); });
}

// The key goes to the driver as the bytes of its text: hexadecimal digits as ASCII digits. An
// empty key is no key: refused unsent.
int CWLanControl::AddWepKey(NebrinHandle device, int keyIndex, NebrinChar* key) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    if (wlan::IsInvalid(device)) return platform::kEInvalidArg;
    std::string bytes;
    if (const int refused = wlan::ConvertRequestText(key, wlan::kMaxTextBytes, bytes)) {
      return refused;
    }
    if (bytes.empty()) return platform::kEInvalidArg;
    const std::uint32_t index = static_cast<std::uint32_t>(keyIndex) | wlan::kTransmitKey;
    return wlan::SendSetRequest(device, wlan::WepKeyRequest(index, bytes));
  });
}

// An SSID of up to 32 bytes goes whole into its field; a longer one is refused unsent.
int CWLanControl::SetSsid(NebrinHandle device, NebrinChar* ssid) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    if (wlan::IsInvalid(device)) return platform::kEInvalidArg;
    std::string bytes;
    if (const int refused = wlan::ConvertRequestText(ssid, wlan::kSsidFieldBytes, bytes)) {
      return refused;
    }
    return wlan::SendSetRequest(device, wlan::SsidRequest(bytes));
  });
}

// Mode, authentication, WEP status, the key and last the SSID. The texts are checked before the
// first request, so a text the requests would refuse (an empty key with WEP on among them)
// leaves the adapter as it was; a request the driver refuses stops the sequence without undoing
// the ones before it.
int CWLanControl::SwitchToAdHoc(NebrinHandle device, NebrinChar* ssid, NebrinChar* key,
                                int useWep) {
  using namespace nebrin;
  return frame::Guarded(wlan::kOutOfMemoryStatus, [&] {
    if (wlan::IsInvalid(device)) return platform::kEInvalidArg;
    std::string checked;
    if (const int refused = wlan::ConvertRequestText(ssid, wlan::kSsidFieldBytes, checked)) {
      return refused;
    }
    if (useWep != 0) {
      if (const int refused = wlan::ConvertRequestText(key, wlan::kMaxTextBytes, checked)) {
        return refused;
      }
      if (checked.empty()) return platform::kEInvalidArg;
    }
    if (const int status = SetInfrastructureMode(device, Ndis802_11IBSS); status < 0) {
      return status;
    }
    if (const int status = SetAuthenticationMode(device, Ndis802_11AuthModeOpen); status < 0) {
      return status;
    }
    if (const int status =
            SetWepStatus(device, useWep != 0 ? Ndis802_11WEPEnabled : Ndis802_11WEPDisabled);
        status < 0) {
      return status;
    }
    if (useWep != 0) {
      if (const int status = AddWepKey(device, 0, key); status < 0) return status;
    }
    if (const int status = SetSsid(device, ssid); status < 0) return status;
    return 0;
  });
}
