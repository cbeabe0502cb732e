#include "platform/sim/companion_driver.h"

#include <algorithm>
#include <string>

#include "platform/device_io.h"

namespace nebrin::sim {
namespace {

using platform::kInvalidParameter;
using platform::kNotSupported;
using platform::kSuccess;
using platform::Status;

constexpr std::uint32_t kOidSsid = 0x0D010102;
constexpr std::uint32_t kOidInfrastructureMode = 0x0D010108;
constexpr std::uint32_t kOidAddWep = 0x0D010113;
constexpr std::uint32_t kOidDisassociate = 0x0D010115;
constexpr std::uint32_t kOidAuthenticationMode = 0x0D010118;
constexpr std::uint32_t kOidWepStatus = 0x0D01011B;

constexpr std::uint32_t kAuthModeMax = 8;  // Ndis802_11AuthModeMax
constexpr std::uint32_t kTransmitBit = 0x80000000u;
constexpr std::uint32_t kSsidField = 32;

std::uint32_t Word(const std::vector<std::uint8_t>& record, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | record[offset + i];
  return value;
}

// After an SSID is set the adapter associates: in ad hoc mode it starts or joins the independent
// network of that name; in infrastructure mode it needs an access point of that name in reach (an
// empty SSID takes any); in automatic mode it takes an access point in reach, else goes ad hoc.
bool Associates(const SimWirelessAdapter& adapter) {
  const std::string ssid(adapter.ssid.begin(), adapter.ssid.end());
  const bool reachable = ssid.empty() ? !adapter.inRange.empty()
                                      : std::find(adapter.inRange.begin(), adapter.inRange.end(),
                                                  ssid) != adapter.inRange.end();
  switch (adapter.mode) {
    case WirelessMode::AdHoc:
      return !ssid.empty();
    case WirelessMode::Infrastructure:
      return reachable;
    case WirelessMode::AutoUnknown:
      return reachable || !ssid.empty();
  }
  return false;
}

}  // namespace

Status ApplySetRequest(const std::vector<std::uint8_t>& record, bool wireless,
                       SimWirelessAdapter& adapter) {
  if (record.size() < 4) return kInvalidParameter;  // no Oid
  // The adapter's own driver answers every 802.11 request; a wired one knows none.
  if (!wireless) return kNotSupported;
  const std::uint32_t oid = Word(record, 0);
  const std::size_t payload = record.size() - 4;
  SimWirelessAdapter next = adapter;
  switch (oid) {
    case kOidInfrastructureMode: {
      if (payload < 4) return kInvalidParameter;
      const std::uint32_t mode = Word(record, 4);
      if (mode > static_cast<std::uint32_t>(WirelessMode::AutoUnknown)) return kInvalidParameter;
      // A new mode deletes every key and, when it changes the mode, ends the association.
      next.keys.clear();
      next.transmitKey.reset();
      if (static_cast<WirelessMode>(mode) != next.mode) next.associated = false;
      next.mode = static_cast<WirelessMode>(mode);
      break;
    }
    case kOidAuthenticationMode: {
      if (payload < 4) return kInvalidParameter;
      const std::uint32_t mode = Word(record, 4);
      if (mode >= kAuthModeMax) return kInvalidParameter;
      next.authentication = mode;
      break;
    }
    case kOidWepStatus: {
      if (payload < 4) return kInvalidParameter;
      // Only enabling or disabling a cipher can be set: WEP (0), none (1), TKIP (4), AES (6).
      const std::uint32_t status = Word(record, 4);
      if (status != 0 && status != 1 && status != 4 && status != 6) return kInvalidParameter;
      next.wepStatus = status;
      break;
    }
    case kOidDisassociate:
      if (!next.associated) return platform::kNotReady;
      next.associated = false;
      break;
    case kOidAddWep: {
      if (payload < 12) return kInvalidParameter;
      const std::uint32_t length = Word(record, 4);
      const std::uint32_t keyIndex = Word(record, 8);
      const std::uint32_t keyLength = Word(record, 12);
      // Length is the payload's size; the key fills the rest of it.
      if (keyLength > payload - 12 || length != keyLength + 12 || length > payload) {
        return kInvalidParameter;
      }
      // WEP keys of 40, 104 and 128 bits at the four default indexes.
      const std::uint32_t index = keyIndex & ~kTransmitBit;
      if (index > 3 || (keyLength != 5 && keyLength != 13 && keyLength != 16)) {
        return kInvalidParameter;
      }
      next.keys[index].assign(record.begin() + 16, record.begin() + 16 + keyLength);
      if ((keyIndex & kTransmitBit) != 0) next.transmitKey = index;
      break;
    }
    case kOidSsid: {
      if (payload < 4 + kSsidField) return kInvalidParameter;
      const std::uint32_t length = Word(record, 4);
      if (length > kSsidField) return kInvalidParameter;
      next.ssid.assign(record.begin() + 8, record.begin() + 8 + length);
      next.associated = Associates(next);
      break;
    }
    default:
      return kNotSupported;
  }
  adapter = std::move(next);
  return kSuccess;
}

}  // namespace nebrin::sim
