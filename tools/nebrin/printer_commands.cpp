#include "printer_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "NebrinCoreDll.h"
#include "host_profile.h"
#include "host_text.h"

namespace nebrin::host {
namespace {

void RunPrinters(const HostOptions& options, bool json) {
  auto session = OpenSession(options);
  CNetInfoRetrieve retrieve;
  // The library's calling order: the count, an array of that many entries, the list.
  const int total = retrieve.GetTotalPrtCount();
  std::vector<PrinterInfostr> printers(total > 0 ? total : 0);
  int count = total;
  const bool listed = total > 0 && retrieve.GetTotoalPrinterInfo(count, printers.data()) == 1;
  if (total > 0 && !listed) {
    throw Refusal(std::to_string(total) +
                  " printer(s) installed, but the list could not be read (the library needs a "
                  "default printer to be set)");
  }
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
  CCommonFtn().RunPrtWizard();
  session->Commit();  // the simulated machine records the command it ran
  std::cout << "started the add-printer wizard (\"Rundll32.exe printui.dll, PrintUIEntry /il\")\n";
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
