#include "printer_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "call_watch.h"
#include "host_profile.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

// Why the printer list could not be read although the count said there were printers.
std::string ListFailure(int total, int count, const WatchedCalls& seen) {
  const std::string installed = std::to_string(total) + " printer(s) installed, but ";
  if (!seen.watched) return installed + "the library could not list them";
  if (seen.enumeratePrinters.value_or(0) != 0) {
    return installed + "the spooler's printer list could not be read the second time (error " +
           std::to_string(*seen.enumeratePrinters) + ")";
  }
  if (count < 1) return installed + "they were gone when the list was read";
  if (seen.defaultPrinter == platform::kFileNotFound) {
    return installed + "no default printer is set, and the library lists printers only with one";
  }
  if (seen.defaultPrinter.value_or(0) != 0) {
    return installed + "the default printer's name could not be read (error " +
           std::to_string(*seen.defaultPrinter) + ")";
  }
  return installed + "the list could not be read";
}

void RunPrinters(const HostOptions& options, bool json) {
  auto session = OpenSession(options);
  CNetInfoRetrieve retrieve;
  // The library's calling order: the count, an array of that many entries, the list.
  WatchedCalls seen;
  const int total = WatchCalls([&] { return retrieve.GetTotalPrtCount(); }, seen);
  if (total == 0 && seen.enumeratePrinters.value_or(0) != 0) {
    throw Refusal("the spooler's printer list could not be read (error " +
                  std::to_string(*seen.enumeratePrinters) + ")");
  }
  std::vector<PrinterInfostr> printers(total > 0 ? total : 0);
  int count = total;
  seen = WatchedCalls{};
  const bool listed =
      total > 0 &&
      WatchCalls([&] { return retrieve.GetTotoalPrinterInfo(count, printers.data()); }, seen) == 1;
  if (total > 0 && !listed) throw Refusal(ListFailure(total, count, seen));
  if (!listed) count = 0;
  if (json) {
    nlohmann::json out = nlohmann::json::array();
    for (int i = 0; i < count; ++i) {
      out.push_back({{"strPrinterName", FieldUtf8(printers[i].strPrinterName)},
                     {"bIsDefault", printers[i].bIsDefault}});
    }
    std::cout << out.dump(2) << "\n";
    return;
  }
  if (count == 0) {
    std::cout << "no printers installed\n";
    return;
  }
  for (int i = 0; i < count; ++i) {
    std::cout << (printers[i].bIsDefault == 1 ? "* " : "  ") << FieldUtf8(printers[i].strPrinterName)
              << "\n";
  }
  std::cout << "(* the default printer)\n";
}

void RunWizard(const HostOptions& options) {
  auto session = OpenSession(options);
  // The library answers 1 whether or not the wizard started; what the system answered says which.
  WatchedCalls seen;
  WatchCalls([] { return CCommonFtn().RunPrtWizard(); }, seen);
  session->Commit();  // the simulated machine records the program it started
  if (!seen.watched) {
    std::cout << "asked the system to start the add-printer wizard "
                 "(\"Rundll32.exe printui.dll, PrintUIEntry /il\"); the library does not say "
                 "whether it started\n";
    return;
  }
  if (seen.startProcess == platform::kSuccess) {
    std::cout << "started the add-printer wizard "
                 "(\"Rundll32.exe printui.dll, PrintUIEntry /il\")\n";
    return;
  }
  if (!seen.startProcess) {
    throw Refusal("the add-printer wizard was not started: the system directory could not be read" +
                  (seen.systemDirectory ? " (error " + std::to_string(*seen.systemDirectory) + ")"
                                        : std::string()));
  }
  throw Refusal("the add-printer wizard could not be started (error " +
                std::to_string(*seen.startProcess) + ")");
}

}  // namespace

void AddPrinterCommands(CLI::App& app, HostOptions& options) {
  CLI::App* printers = app.add_subcommand("printers", "List the printers, the default one marked");
  auto json = std::make_shared<bool>(false);
  printers->add_flag("--json", *json, "Print JSON for scripts");
  printers->callback([&options, json] { RunPrinters(options, *json); });

  CLI::App* wizard = app.add_subcommand("printer-wizard", "Start the system's add-printer wizard");
  wizard->callback([&options] { RunWizard(options); });
}

}  // namespace nebrin::host
