// The wire format between the library and the companion protocol driver: its control device,
// the three request codes, the binding name, and the byte layout of every set request record
// (little-endian, as the driver reads it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "NebrinCoreDll.h"

namespace nebrin::wlan {

// The driver's control device.
inline constexpr std::u16string_view kControlDevicePath = u"\\\\.\\ORLPD";

// Request codes: device type 0x12 (network), buffered, read and write access.
inline constexpr std::uint32_t kIoctlOpenDevice = 0x0012C800;  // bind the handle to an adapter
inline constexpr std::uint32_t kIoctlBindWait = 0x0012C810;    // wait for the driver's bindings
inline constexpr std::uint32_t kIoctlSetOid = 0x0012C814;      // one NDIS set request

// The 802.11 object identifiers the set requests carry.
inline constexpr std::uint32_t kOidSsid = 0x0D010102;
inline constexpr std::uint32_t kOidInfrastructureMode = 0x0D010108;
inline constexpr std::uint32_t kOidAddWep = 0x0D010113;
inline constexpr std::uint32_t kOidDisassociate = 0x0D010115;
inline constexpr std::uint32_t kOidAuthenticationMode = 0x0D010118;
inline constexpr std::uint32_t kOidWepStatus = 0x0D01011B;

// The transmit-key bit of a WEP key's index.
inline constexpr std::uint32_t kTransmitKey = 0x80000000u;

// The binding name is "\DEVICE\" and the adapter's GUID text, assembled in 200 wide characters
// with the terminator: an adapter name holds at most 191.
inline constexpr std::u16string_view kBindingPrefix = u"\\DEVICE\\";
inline constexpr std::size_t kBindingNameRoom = 200;
inline constexpr std::size_t kMaxAdapterName = kBindingNameRoom - 1 - kBindingPrefix.size();

// Key and SSID texts are converted into 100 bytes with the terminator; an SSID field holds 32.
inline constexpr std::size_t kMaxTextBytes = 99;
inline constexpr std::size_t kSsidFieldBytes = 32;

// The binding name as the open-device request takes it: UTF-16LE, without terminator.
std::vector<std::uint8_t> BindingRequest(std::u16string_view bindingName);
// An 8-byte record: the Oid and one 32-bit value.
std::vector<std::uint8_t> ValueRequest(std::uint32_t oid, std::uint32_t value);
// OID_802_11_ADD_WEP with NDIS_802_11_WEP: Length = L + 12, KeyIndex, KeyLength = L, then the L
// key bytes; L + 16 bytes in all.
std::vector<std::uint8_t> WepKeyRequest(std::uint32_t keyIndex, std::string_view key);
// OID_802_11_SSID with NDIS_802_11_SSID: SsidLength, then the 32-byte field with the SSID's bytes
// at its start and zeros after them; 40 bytes. The SSID holds at most kSsidFieldBytes.
std::vector<std::uint8_t> SsidRequest(std::string_view ssid);

// Converts a key or SSID text with the ANSI code page into `bytes`: 0, E_POINTER for a null text,
// E_INVALIDARG for one longer than `maxBytes` once converted, or the status of a failed
// conversion.
int ConvertRequestText(const NebrinChar* text, std::size_t maxBytes, std::string& bytes);

}  // namespace nebrin::wlan
