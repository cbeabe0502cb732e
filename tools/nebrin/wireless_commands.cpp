#include "wireless_commands.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "NebrinCoreDll.h"
#include "host_profile.h"
#include "host_services.h"
#include "platform/platform.h"
#include "status_words.h"
#include "wlan_commands.h"

namespace nebrin::host {
namespace {

// How long the host waits for the wireless configuration service to settle, and how often it
// asks; the same limit profile application gives it.
constexpr std::uint32_t kServiceWaitMs = 120000;
constexpr std::uint32_t kServicePollMs = 250;

// Asks CheckWZCStatus until `settled` holds or the limit passes, pausing on the platform's clock
// (the simulated machine's virtual clock, so no real time passes there).
bool WaitForWirelessServiceUntil(const std::function<bool(CWLanControl&)>& settled) {
  platform::Clock& clock = HostServices().clock();
  const std::uint32_t start = clock.TickCount();
  CWLanControl wlan;
  for (;;) {
    if (settled(wlan)) return true;
    if (clock.TickCount() - start >= kServiceWaitMs) return false;
    clock.Sleep(kServicePollMs);
  }
}

// Waits until WZCSVC is running (or stopped).
bool WaitForWirelessService(bool running) {
  return WaitForWirelessServiceUntil(
      [running](CWLanControl& wlan) { return wlan.CheckWZCStatus(running ? 1 : 0) == 1; });
}

// Waits until WZCSVC is running or stopped, whichever comes.
bool WaitForWirelessServiceToSettle() {
  return WaitForWirelessServiceUntil([](CWLanControl& wlan) {
    return wlan.CheckWZCStatus(1) == 1 || wlan.CheckWZCStatus(0) == 1;
  });
}

constexpr int kServiceBusy = static_cast<int>(0x80070425u);

// Sends a start or stop request; a WZCSVC that is starting or stopping takes none, so the host
// waits for it to settle and sends the request once more.
int RequestSettled(const std::function<int()>& request) {
  const int status = request();
  if (status != kServiceBusy) return status;
  std::cout << "WZCSVC is starting or stopping: waiting for it to settle, up to 2 minutes..."
            << std::endl;
  if (!WaitForWirelessServiceToSettle()) return status;
  return request();
}

void ShowWirelessServiceStatus() {
  CWLanControl wlan;
  if (wlan.CheckWZCStatus(1) == 1) {
    std::cout << "WZCSVC is running.\n";
  } else if (wlan.CheckWZCStatus(0) == 1) {
    std::cout << "WZCSVC is stopped.\n";
  } else {
    std::cout << "WZCSVC is neither running nor stopped (starting, stopping, or not installed, "
                 "or the service list cannot be read).\n";
  }
}

void RunWirelessService(const HostOptions& options, const std::string& action) {
  auto session = OpenSession(options);
  if (action == "status") {
    ShowWirelessServiceStatus();
    return;
  }
  CWLanControl wlan;
  bool settled = true;
  if (action == "stop") {
    wlan.bWZCStopped = 1;  // neither of the values the member records
    const int status = RequestSettled([&] { return wlan.StopWZCService(); });
    if (status != 0) {
      session->Commit();
      throw Refusal("stopping WZCSVC failed: " + StatusWords(status));
    }
    if (wlan.bWZCStopped == 0) {
      std::cout << "WZCSVC was not running (bWZCStopped 0).\n";
    } else if (wlan.bWZCStopped == -1) {
      std::cout << "WZCSVC was running: the stop control was sent (bWZCStopped -1).\n"
                   "Waiting for WZCSVC to stop, up to 2 minutes..."
                << std::endl;
      settled = WaitForWirelessService(false);
    } else {
      // It answered in a state other than running (paused, for one): no stop was sent, so no
      // stopped state is coming.
      std::cout << "WZCSVC answered but was not running: no stop control was sent.\n";
    }
  } else {
    const int status = RequestSettled([&] { return wlan.StartWZCService(); });
    if (status != 0) {
      session->Commit();
      throw Refusal("starting WZCSVC failed: " + StatusWords(status));
    }
    std::cout << "WZCSVC answers or was started.\nWaiting for WZCSVC to run, up to 2 minutes..."
              << std::endl;
    settled = WaitForWirelessService(true);
  }
  session->Commit();
  ShowWirelessServiceStatus();
  if (!settled) throw Refusal("WZCSVC did not settle within 2 minutes");
}

void RunProductService(const HostOptions& options, const std::string& action,
                       const std::string& path) {
  // The service manager refuses to register a service without a program; that is the path's
  // fault, not a matter of rights.
  if (action == "install" && path.find_first_not_of(" \t") == std::string::npos) {
    throw Refusal("the service's executable path is empty; give the full path of its program");
  }
  auto session = OpenSession(options);
  CWLanControl wlan;
  if (action == "status") {
    // The list is read with all access to the service manager: without administrative rights it
    // cannot be read, which looks the same as a missing service.
    std::cout << (wlan.CheckNebrinWLANStatus() == 1
                      ? "NebrinWLANService is registered.\n"
                      : "NebrinWLANService is not registered, or the service list cannot be read "
                        "(administrative rights are needed).\n");
    return;
  }
  if (action == "install") {
    const bool existed = wlan.CheckNebrinWLANStatus() == 1;
    std::vector<NebrinChar> text = WideParam(path);
    const int result = wlan.InstallWLANService(text.data());
    session->Commit();
    if (result != 1) {
      throw Refusal(
          "NebrinWLANService could not be registered (administrative rights are "
          "needed)");
    }
    std::cout << (existed ? "NebrinWLANService was already registered; its registration is "
                            "unchanged.\n"
                          : "NebrinWLANService is registered (automatic start, not started).\n");
    return;
  }
  const int result = wlan.DeleteWLANService();
  const bool remains = wlan.CheckNebrinWLANStatus() == 1;
  session->Commit();
  if (result != 1) {
    throw Refusal(
        "NebrinWLANService was not removed (it is not registered, is already marked "
        "for deletion, or administrative rights are needed)");
  }
  std::cout << (remains ? "NebrinWLANService is marked for deletion; the service manager removes "
                          "it once it no longer runs.\n"
                        : "NebrinWLANService is removed.\n");
}

void RunDriverStart(const HostOptions& options) {
  auto session = OpenSession(options);
  const int status = CWLanControl().StartPDService();
  session->Commit();
  if (status == 0) {
    std::cout << "ORLPD was started.\n";
  } else if (status == 1) {
    std::cout << "ORLPD was already running.\n";
  } else {
    throw Refusal("starting ORLPD failed: " + StatusWords(status));
  }
}

void RunAdHoc(const HostOptions& options) {
  auto session = OpenSession(options);
  // Whether a Tamsel.exe already runs is the member's to find out (27): a scan of the processes
  // here could change what it sees.
  std::cout << "Running Tamsel.exe /1 from the product's folder under Program Files, hidden, "
               "and waiting for it to end, up to 5 minutes (unless it runs already)..."
            << std::endl;
  NebrinHandle device{};
  const int code = CWLanControl().MakeOneClickAdHoc(device, nullptr);
  session->Commit();
  switch (code) {
    case 22:
      std::cout << "Result 22: the ad hoc tool ran.\n";
      return;
    case 27:
      std::cout << "Result 27: the ad hoc tool is already running; nothing was started.\n";
      break;
    default:
      std::cout << "Result " << code
                << ": the ad hoc tool failed to start (Program Files\\corvane\\Nebrin\\Tamsel.exe "
                   "not found or not startable).\n";
      break;
  }
  throw CLI::RuntimeError(1);
}

void RunConnectionMenu(const HostOptions& options, const std::string& name) {
  auto session = OpenSession(options);
  std::vector<NebrinChar> text = WideParam(name);
  const int result = CWLanControl().OnAp(text.data());
  session->Commit();
  if (result != 1) {
    throw Refusal("\"" + name +
                  "\": the command was not invoked (the Network Connections folder "
                  "does not know the connection, or the folder is not available)");
  }
  std::cout << "Invoked the command at offset 24 of the menu of \"" << name
            << "\" in the Network Connections folder.\n";
}

}  // namespace

void AddWirelessCommands(CLI::App& app, HostOptions& options) {
  static std::string serviceAction;
  CLI::App* wireless = app.add_subcommand(
      "wireless-service", "Status, start or stop of the wireless configuration service WZCSVC");
  wireless->add_option("action", serviceAction, "status, start or stop")
      ->required()
      ->check(CLI::IsMember({"status", "start", "stop"}));
  wireless->callback([&options] { RunWirelessService(options, serviceAction); });

  CLI::App* service =
      app.add_subcommand("service", "Register, check or remove the product's NebrinWLANService");
  service->require_subcommand(1);
  static std::string installPath;
  CLI::App* install = service->add_subcommand("install", "Register NebrinWLANService");
  install->add_option("path", installPath, "The service's executable path")->required();
  install->callback([&options] { RunProductService(options, "install", installPath); });
  service->add_subcommand("status", "Whether NebrinWLANService is registered")
      ->callback([&options] { RunProductService(options, "status", ""); });
  service->add_subcommand("remove", "Mark NebrinWLANService for deletion")->callback([&options] {
    RunProductService(options, "remove", "");
  });

  CLI::App* driver = app.add_subcommand("driver", "The companion protocol driver ORLPD");
  driver->require_subcommand(1);
  driver->add_subcommand("start", "Start ORLPD")->callback([&options] { RunDriverStart(options); });
  AddDriverCommands(*driver, options);
  AddWlanCommands(app, options);

  app.add_subcommand("adhoc", "The one-click ad hoc action: run Tamsel.exe /1 and wait for it")
      ->callback([&options] { RunAdHoc(options); });

  static std::string connectionName;
  CLI::App* menu =
      app.add_subcommand("connection-menu",
                         "Invoke the menu command at offset 24 of a connection in the Network "
                         "Connections folder");
  menu->add_option("name", connectionName, "The connection's name")->required();
  menu->callback([&options] { RunConnectionMenu(options, connectionName); });
}

}  // namespace nebrin::host
