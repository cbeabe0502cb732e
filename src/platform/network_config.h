// Network configuration: the system's network configuration objects (INetCfg, INetCfgLock,
// INetCfgClassSetup) one COM call at a time, and the setup-file store that components are
// installed from (SetupCopyOEMInfW). Interface pointers cross the seam as ComRefs, released
// through Com::Release; each call answers its HRESULT, the setup-file copy its Win32 error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com.h"
#include "platform/hresult.h"
#include "platform/status.h"

namespace nebrin::platform {

// Status values of the network configuration objects.
inline constexpr HResult kNetCfgAlreadyInitialized = static_cast<HResult>(0x8004A020u);
inline constexpr HResult kNetCfgNotInitialized = static_cast<HResult>(0x8004A021u);
inline constexpr HResult kNetCfgNoWriteLock = static_cast<HResult>(0x8004A024u);
inline constexpr HResult kCoNotInitialized = static_cast<HResult>(0x800401F0u);
inline constexpr HResult kEAccessDenied = static_cast<HResult>(0x80070005u);
inline constexpr HResult kEUnexpected = static_cast<HResult>(0x8000FFFFu);
// HRESULT_FROM_SETUPAPI(ERROR_NO_DRIVER_SELECTED): no setup file describes the component.
inline constexpr HResult kNoDriverSelected = static_cast<HResult>(0x800F0203u);

// The room SetupCopyOEMInfW is given for the name of the copy (MAX_PATH).
inline constexpr std::uint32_t kSetupFileNameRoom = 260;

class NetworkConfig {
 public:
  virtual ~NetworkConfig() = default;

  // CoCreateInstance of the network configuration class {5B035261-40F9-11D1-AAEC-00805FC1270E}
  // with class context 23 (CLSCTX_ALL: every server context and the handler), for INetCfg.
  virtual HResult CreateNetCfg(ComRef& netCfg) = 0;
  // QueryInterface of a configuration for INetCfgLock.
  virtual HResult QueryLock(ComRef netCfg, ComRef& lock) = 0;
  // INetCfgLock::AcquireWriteLock(timeoutMs, description, &holder): S_FALSE when another client
  // still holds the lock after the time-out, with its description in `holder` (the text the
  // system allocates is freed with COM's task allocator inside).
  virtual HResult AcquireWriteLock(ComRef lock, std::uint32_t timeoutMs,
                                   std::u16string_view description, std::u16string& holder) = 0;
  // INetCfgLock::ReleaseWriteLock.
  virtual HResult ReleaseWriteLock(ComRef lock) = 0;
  // INetCfg::Initialize with no reserved argument, Uninitialize, Apply.
  virtual HResult Initialize(ComRef netCfg) = 0;
  virtual HResult Uninitialize(ComRef netCfg) = 0;
  virtual HResult Apply(ComRef netCfg) = 0;
  // INetCfg::QueryNetCfgClass for the network-protocol class GUID_DEVCLASS_NETTRANS
  // {4D36E975-E325-11CE-BFC1-08002BE10318}, asking for INetCfgClassSetup.
  virtual HResult QueryProtocolClassSetup(ComRef netCfg, ComRef& classSetup) = 0;
  // INetCfgClassSetup::Install(componentId, on behalf of the user (an OBO_TOKEN all zero but its
  // type OBO_USER), NSF_POSTSYSINSTALL, upgrade-from build 0, no answer file, no answer
  // sections, &component).
  virtual HResult Install(ComRef classSetup, std::u16string_view componentId,
                          ComRef& component) = 0;
  // SetupCopyOEMInfW(source, no media root, SPOST_PATH, copy style 0, a buffer of
  // kSetupFileNameRoom for the copy's name, no required size, no component): the copy's full
  // path in `destination`.
  virtual Status CopySetupFile(std::u16string_view source, std::u16string& destination) = 0;
};

}  // namespace nebrin::platform
