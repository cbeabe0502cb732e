#include "wlan_commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "host_paths.h"
#include "host_profile.h"
#include "host_services.h"
#include "host_text.h"
#include "platform/platform.h"
#include "status_words.h"
#include "wlan_status.h"

namespace nebrin::host {
namespace {

// The most bytes an SSID holds, and a key text, in the ANSI code page.
constexpr std::size_t kSsidBytes = 32;
constexpr std::size_t kKeyBytes = 99;

// A driver handle dies with the process: each command opens one, acts and closes it. The host
// owns it, so the host closes it (CloseHandle through its own services).
class DriverHandle {
 public:
  DriverHandle() = default;
  ~DriverHandle() {
    if (handle_ != nullptr) {
      HostServices().deviceIo().CloseDevice(reinterpret_cast<platform::DeviceHandle>(handle_));
    }
  }
  DriverHandle(const DriverHandle&) = delete;
  DriverHandle& operator=(const DriverHandle&) = delete;
  NebrinHandle& slot() { return handle_; }
  NebrinHandle get() const { return handle_; }

 private:
  NebrinHandle handle_ = nullptr;
};

// Adapter `index` of the current settings, as `nebrin adapters` numbers them.
struct ChosenAdapter {
  std::vector<NebrinChar> name;  // the GUID text, as OpenDevice takes it
  std::string connection;  // as shown: control characters spelt out
};

ChosenAdapter CurrentAdapter(const std::string& typed) {
  EnvInfoStr env;
  AdapterInfoStr adapters[NEBRIN_ADAPTER_RECORDS];
  CCommonFtn().InitStructure(&env, adapters);
  if (CNetInfoRetrieve().IPRetrieve(&env, adapters) != 1) {
    throw Refusal("the adapters could not be read");
  }
  const bool digits =
      !typed.empty() && typed.size() <= 2 &&
      std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; });
  const int index = digits ? std::stoi(typed) : -1;
  if (index < 0 || index >= env.AdapterCount) {
    throw Refusal("\"" + typed + "\" is not an adapter of the current settings (0 to " +
                  std::to_string(env.AdapterCount - 1) + ", see nebrin adapters)");
  }
  ChosenAdapter chosen;
  chosen.name = WideParam(FieldUtf8(adapters[index].AdapterName));
  chosen.connection = ShownField(adapters[index].ConnectionName);
  return chosen;
}

// Refuses a text that does not fit its field once converted to the ANSI code page, before
// anything is sent.
void CheckFits(const std::string& what, const std::string& text, std::size_t limit) {
  std::string bytes;
  if (HostServices().text().ToNarrow(platform::CodePage::Ansi, ToUtf16(text), bytes) !=
      platform::kSuccess) {
    throw Refusal("the " + what + " \"" + text + "\" cannot be converted to the ANSI code page");
  }
  if (bytes.size() > limit) {
    throw Refusal("the " + what + " \"" + text + "\" is " + std::to_string(bytes.size()) +
                  " bytes in the ANSI code page; it may be at most " + std::to_string(limit) +
                  "; nothing was sent");
  }
}

// Opens a handle bound to the chosen adapter; refuses with the status when it cannot.
void OpenBound(const ChosenAdapter& adapter, DriverHandle& handle, HostSession& session) {
  std::vector<NebrinChar> name = adapter.name;
  const int opened = CWLanControl().OpenDevice(name.data(), handle.slot());
  if (opened != 0) {
    session.Commit();  // the driver's service may have been started
    throw Refusal("the driver could not be opened for \"" + adapter.connection +
                  "\": " + StatusWords(opened));
  }
}

void RunAdHoc(const HostOptions& options, const std::string& typed, const std::string& ssid,
              const std::string& key, bool wep) {
  if (wep && key.empty()) {
    throw Refusal("--wep needs a key text: WEP on with an empty key would carry no key; nothing "
                  "was sent");
  }
  auto session = OpenSession(options);
  const ChosenAdapter adapter = CurrentAdapter(typed);
  CheckFits("SSID", ssid, kSsidBytes);
  if (wep) CheckFits("key", key, kKeyBytes);
  int status = 0;
  {
    DriverHandle handle;
    OpenBound(adapter, handle, *session);
    std::vector<NebrinChar> ssidText = WideParam(ssid);
    std::vector<NebrinChar> keyText = WideParam(key);
    status =
        CWLanControl().SwitchToAdHoc(handle.get(), ssidText.data(), keyText.data(), wep ? 1 : 0);
  }
  session->Commit();
  if (status != 0) {
    throw Refusal("switching \"" + adapter.connection + "\" to ad hoc stopped: " +
                  StatusWords(status) + " (the requests before it took effect)");
  }
  std::cout << "\"" << adapter.connection << "\" is in ad hoc mode with SSID \"" << ssid << "\", "
            << (wep ? "WEP on with the key at index 0 as transmit key" : "WEP off") << " (status "
            << Hex(status) << ").\n";
}

// The one request `nebrin wlan set` sends.
struct SetRequest {
  std::string mode;
  std::string auth;
  std::string wep;
  std::vector<std::string> key;
  std::string ssid;
  bool disassociate = false;
};

void RunSet(const HostOptions& options, const std::string& typed, const SetRequest& request) {
  auto session = OpenSession(options);
  const ChosenAdapter adapter = CurrentAdapter(typed);
  int keyIndex = 0;
  if (!request.key.empty()) {
    const std::string& typedIndex = request.key[0];
    const bool digits = !typedIndex.empty() && typedIndex.size() <= 9 &&
                        std::all_of(typedIndex.begin(), typedIndex.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) throw Refusal("\"" + typedIndex + "\" is not a key index (a decimal number)");
    keyIndex = std::stoi(typedIndex);
  }
  std::string what;
  int status = 0;
  {
    DriverHandle handle;
    OpenBound(adapter, handle, *session);
    CWLanControl wlan;
    if (!request.mode.empty()) {
      what = "network mode " + request.mode;
      status = wlan.SetInfrastructureMode(
          handle.get(), request.mode == "adhoc" ? Ndis802_11IBSS : Ndis802_11Infrastructure);
    } else if (!request.auth.empty()) {
      what = "authentication " + request.auth;
      status = wlan.SetAuthenticationMode(
          handle.get(), request.auth == "open" ? Ndis802_11AuthModeOpen : Ndis802_11AuthModeShared);
    } else if (!request.wep.empty()) {
      what = "WEP " + request.wep;
      status = wlan.SetWepStatus(
          handle.get(), request.wep == "on" ? Ndis802_11WEPEnabled : Ndis802_11WEPDisabled);
    } else if (!request.key.empty()) {
      what = "WEP key at index " + std::to_string(keyIndex) + " (transmit key)";
      std::vector<NebrinChar> text = WideParam(request.key[1]);
      status = wlan.AddWepKey(handle.get(), keyIndex, text.data());
    } else if (request.disassociate) {
      what = "disassociation";
      status = wlan.Dissociate(handle.get());
    } else {
      what = "SSID \"" + request.ssid + "\"";
      std::vector<NebrinChar> text = WideParam(request.ssid);
      status = wlan.SetSsid(handle.get(), text.data());
    }
  }
  session->Commit();
  if (status != 0) {
    throw Refusal("the " + what + " was not set on \"" + adapter.connection +
                  "\": " + StatusWords(status));
  }
  std::cout << "Sent the " << what << " to \"" << adapter.connection << "\" (status " << Hex(status)
            << ").\n";
}

void RunDriverCheck(const HostOptions& options) {
  auto session = OpenSession(options);
  const int exists = CWLanControl().CheckPDDriverExist();
  session->Commit();  // the driver's service may have been started
  if (exists != 1) {
    throw Refusal(
        "the driver's device \\\\.\\ORLPD does not open (ORLPD is not installed, could not be "
        "started, or is not running yet)");
  }
  std::cout << "The driver's device \\\\.\\ORLPD opens: ORLPD runs.\n";
}

void RunDriverInstall(const HostOptions& options, const std::string& typed) {
  auto session = OpenSession(options);
  // The system copies the setup file from a full path only.
  const std::string path = FullPath(typed);
  std::vector<NebrinChar> text = WideParam(path);
  const int status = CWLanControl().InstallPDDriver(text.data());
  session->Commit();
  if (status < 0) throw Refusal("ORLPD was not installed: " + StatusWords(status));
  std::cout << "Installed the network protocol K_ORLPD from \"" << path << "\" (status "
            << Hex(status) << ").\n";
}

}  // namespace

void AddWlanCommands(CLI::App& app, HostOptions& options) {
  CLI::App* wlan =
      app.add_subcommand("wlan", "802.11 requests to a wireless adapter through the driver ORLPD");
  wlan->require_subcommand(1);

  struct AdHocInput {
    std::string adapter;
    std::string ssid;
    std::string key;
  };
  auto adhoc = std::make_shared<AdHocInput>();
  CLI::App* adhocCommand = wlan->add_subcommand(
      "adhoc", "Put adapter I of the current settings in ad hoc mode (SwitchToAdHoc)");
  adhocCommand->add_option("adapter", adhoc->adapter, "The adapter's number in nebrin adapters")
      ->required();
  adhocCommand->add_option("--ssid", adhoc->ssid, "The network's SSID (at most 32 bytes)")
      ->required();
  CLI::Option* wep = adhocCommand->add_option(
      "--wep", adhoc->key, "Turn WEP on with this key text at index 0 (sent as its characters)");
  adhocCommand->callback([&options, adhoc, wep] {
    RunAdHoc(options, adhoc->adapter, adhoc->ssid, adhoc->key, wep->count() > 0);
  });

  auto typed = std::make_shared<std::string>();
  auto request = std::make_shared<SetRequest>();
  CLI::App* set = wlan->add_subcommand("set", "Send one 802.11 request to adapter I");
  set->add_option("adapter", *typed, "The adapter's number in nebrin adapters")->required();
  CLI::Option_group* one = set->add_option_group("request", "the one request to send");
  one->add_option("--mode", request->mode, "Network mode")
      ->check(CLI::IsMember({"adhoc", "infrastructure"}));
  one->add_option("--auth", request->auth, "Authentication mode")
      ->check(CLI::IsMember({"open", "shared"}));
  one->add_option("--wep", request->wep, "WEP status")->check(CLI::IsMember({"on", "off"}));
  one->add_option("--key", request->key, "A WEP key: INDEX TEXT (the transmit key)")->expected(2);
  one->add_option("--ssid", request->ssid, "The SSID (at most 32 bytes)");
  one->add_flag("--disassociate", request->disassociate, "Disassociate");
  one->require_option(1);
  set->callback([&options, typed, request] { RunSet(options, *typed, *request); });

  wlan->add_subcommand("status", "The 802.11 state of each wireless adapter (simulated machine)")
      ->callback([&options] { ShowWlanStatus(options); });
}

void AddDriverCommands(CLI::App& driver, HostOptions& options) {
  driver.add_subcommand("check", "Whether the driver's device opens (CheckPDDriverExist)")
      ->callback([&options] { RunDriverCheck(options); });
  auto path = std::make_shared<std::string>();
  CLI::App* install =
      driver.add_subcommand("install", "Install the driver from its setup file (InstallPDDriver)");
  install->add_option("inf", *path, "The driver's setup information file")->required();
  install->callback([&options, path] { RunDriverInstall(options, *path); });
}

}  // namespace nebrin::host
