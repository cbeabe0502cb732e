// The printer list with the default mark, and the add-printer wizard, on the simulated machine.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "nebrin/platform_install.h"
#include "platform/forwarding_platform.h"
#include "support/sim_fixture.h"

namespace {

using nebrin::testing::Text;

class Printers : public nebrin::testing::SimTest {
 protected:
  void Install(std::vector<std::string> names, std::optional<std::string> chosen) {
    machine().printers().installed = std::move(names);
    machine().printers().defaultPrinter = std::move(chosen);
  }
  // An array of `size` entries filled with a marker, so untouched entries show.
  static std::vector<PrinterInfostr> Marked(std::size_t size) {
    std::vector<PrinterInfostr> entries(size);
    std::memset(entries.data(), 0x5A, entries.size() * sizeof(PrinterInfostr));
    return entries;
  }
  static bool Untouched(const PrinterInfostr& entry) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&entry);
    for (std::size_t i = 0; i < sizeof(entry); ++i) {
      if (bytes[i] != 0x5A) return false;
    }
    return true;
  }
};

TEST_F(Printers, NoPrintersInstalled) {
  Install({}, std::nullopt);
  EXPECT_EQ(CNetInfoRetrieve().GetTotalPrtCount(), 0);
  auto entries = Marked(2);
  int count = 2;
  EXPECT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 0);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(Untouched(entries[0]));
}

TEST_F(Printers, ListsInSpoolerOrderWithTheDefaultMarked) {
  Install({"Laser", "Inkjet", "Plotter"}, "Inkjet");
  EXPECT_EQ(CNetInfoRetrieve().GetTotalPrtCount(), 3);
  auto entries = Marked(4);
  int count = 3;
  ASSERT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 1);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(Text(entries[0].strPrinterName), "Laser");
  EXPECT_EQ(Text(entries[1].strPrinterName), "Inkjet");
  EXPECT_EQ(Text(entries[2].strPrinterName), "Plotter");
  EXPECT_EQ(entries[0].bIsDefault, 0);
  EXPECT_EQ(entries[1].bIsDefault, 1);
  EXPECT_EQ(entries[2].bIsDefault, 0);
  EXPECT_TRUE(Untouched(entries[3]));
}

TEST_F(Printers, CountOnEntryIsClamped) {
  struct Case {
    int printers;
    int defaultIndex;  // -1: a default that is not listed
    int countIn;
    int result;
    int countOut;
    int marked;  // entries with bIsDefault 1
  };
  const Case cases[] = {
      {5, 3, 3, 1, 3, 0},  // the default is the fourth: nothing among the first three is marked
      {5, 1, 3, 1, 3, 1},
      {2, 1, 10, 1, 2, 1},
      {2, -1, 10, 1, 2, 0},
      {2, 0, 0, 0, 0, 0},
      {2, 0, -3, 0, -3, 0},  // a negative count fills nothing and stays as it was
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (int i = 0; i < c.printers; ++i) names.push_back("Printer " + std::to_string(i));
    Install(names, c.defaultIndex >= 0 ? names[c.defaultIndex] : std::string("Elsewhere"));
    auto entries = Marked(10);
    int count = c.countIn;
    EXPECT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), c.result)
        << c.printers << " " << c.countIn;
    EXPECT_EQ(count, c.countOut) << c.printers << " " << c.countIn;
    int marked = 0;
    for (int i = 0; i < 10; ++i) {
      if (i < c.countOut && c.result == 1) {
        EXPECT_EQ(Text(entries[i].strPrinterName), "Printer " + std::to_string(i));
        marked += entries[i].bIsDefault;
      } else {
        EXPECT_TRUE(Untouched(entries[i])) << "entry " << i;
      }
    }
    EXPECT_EQ(marked, c.marked) << c.printers << " " << c.countIn;
  }
}

TEST_F(Printers, WithoutADefaultPrinterNothingIsFilled) {
  Install({"Laser", "Inkjet"}, std::nullopt);
  EXPECT_EQ(CNetInfoRetrieve().GetTotalPrtCount(), 2);
  auto entries = Marked(5);
  int count = 5;
  EXPECT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 0);
  EXPECT_EQ(count, 2);  // lowered before the default query failed
  EXPECT_TRUE(Untouched(entries[0]));
}

TEST_F(Printers, LongNamesAreCutInsideTheField) {
  const std::string longName(140, 'L');
  Install({longName, "Short"}, longName);
  auto entries = Marked(2);
  int count = 2;
  ASSERT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 1);
  EXPECT_EQ(Text(entries[0].strPrinterName), std::string(99, 'L'));
  EXPECT_EQ(entries[0].strPrinterName[99], 0);
  EXPECT_EQ(entries[0].bIsDefault, 1);  // the mark compares the whole name
  EXPECT_EQ(Text(entries[1].strPrinterName), "Short");
  // A default name longer than the 256-character query buffer cannot be had.
  Install({std::string(256, 'D')}, std::string(256, 'D'));
  count = 1;
  EXPECT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 0);
}

TEST_F(Printers, SpoolerFailures) {
  Install({"Laser"}, "Laser");
  machine().FailServiceCall(nebrin::sim::Service::Spooler, 1, 1722);  // RPC server unavailable
  EXPECT_EQ(CNetInfoRetrieve().GetTotalPrtCount(), 0);
  int count = 4;
  auto entries = Marked(4);
  machine().FailServiceCall(nebrin::sim::Service::Spooler, 2, 1722);
  EXPECT_EQ(CNetInfoRetrieve().GetTotoalPrinterInfo(count, entries.data()), 0);
  EXPECT_EQ(count, 4);  // the enumeration failed before the clamp
}

// The wizard's command runner is started from the system directory by its full path, window
// shown, with the wizard's command line: a "Rundll32.exe" planted in the working directory is
// never run.
TEST_F(Printers, WizardStartsTheSystemsCommandRunner) {
  struct Start {
    std::string application, commandLine;
    std::uint32_t show;
  };
  class Watching final : public nebrin::platform::ForwardingPlatform {
   public:
    explicit Watching(nebrin::sim::Machine& m) : ForwardingPlatform(m), processes_(m.processes()) {}
    nebrin::platform::Processes& processes() override { return processes_; }
    std::vector<Start>& starts() { return processes_.starts; }

   private:
    struct Processes final : nebrin::platform::Processes {
      explicit Processes(nebrin::platform::Processes& inner) : inner(inner) {}
      using Status = nebrin::platform::Status;
      using Handle = nebrin::platform::ProcessHandle;
      Status EnumerateProcesses(std::vector<std::uint32_t>& ids) override {
        return inner.EnumerateProcesses(ids);
      }
      Status OpenProcess(std::uint32_t a, std::uint32_t id, Handle& p) override {
        return inner.OpenProcess(a, id, p);
      }
      Status FirstModule(Handle p, nebrin::platform::ModuleHandle& m) override {
        return inner.FirstModule(p, m);
      }
      Status ModuleBaseName(Handle p, nebrin::platform::ModuleHandle m, std::uint32_t c,
                            std::u16string& n) override {
        return inner.ModuleBaseName(p, m, c, n);
      }
      Status SystemDirectory(std::u16string& path) override { return inner.SystemDirectory(path); }
      Status StartProcess(std::u16string_view a, std::u16string_view c, std::uint32_t show,
                          Handle& p, Handle& t) override {
        starts.push_back({std::string(a.begin(), a.end()), std::string(c.begin(), c.end()), show});
        return inner.StartProcess(a, c, show, p, t);
      }
      std::uint32_t Wait(Handle p, std::uint32_t ms) override { return inner.Wait(p, ms); }
      Status CloseHandle(Handle h) override { return inner.CloseHandle(h); }
      nebrin::platform::Processes& inner;
      std::vector<Start> starts;
    } processes_;
  };
  machine().process_state().programs.push_back(
      {machine().process_state().currentDirectory + "\\Rundll32.exe",
       nebrin::sim::ProgramKind::Idle, 0});
  auto watching = std::make_shared<Watching>(machine());
  nebrin::InstallPlatform(watching);
  EXPECT_EQ(CCommonFtn().RunPrtWizard(), 1);
  ASSERT_EQ(watching->starts().size(), 1u);
  EXPECT_EQ(watching->starts()[0].application, "C:\\WINDOWS\\system32\\rundll32.exe");
  EXPECT_EQ(watching->starts()[0].commandLine, "Rundll32.exe printui.dll, PrintUIEntry /il");
  EXPECT_EQ(watching->starts()[0].show, 5u);  // SW_SHOW
  ASSERT_EQ(machine().process_state().started.size(), 1u);
  EXPECT_EQ(machine().process_state().started[0].application,
            "C:\\WINDOWS\\system32\\rundll32.exe");

  // The outcome of the start is not reported.
  machine().ResetCounts();
  machine().FailServiceCall(nebrin::sim::Service::Processes, 2, 2);  // the start
  EXPECT_EQ(CCommonFtn().RunPrtWizard(), 1);
  EXPECT_EQ(machine().process_state().started.size(), 1u);
  nebrin::InstallPlatform(nullptr);
}

TEST_F(Printers, SetDefaultPrinterNamesAnInstalledPrinter) {
  Install({"Laser", "Inkjet"}, std::nullopt);
  auto& spooler = nebrin::platform::Current().spooler();
  EXPECT_EQ(spooler.SetDefaultPrinter(u"inkjet"), nebrin::platform::kSuccess);
  EXPECT_EQ(machine().printers().defaultPrinter, std::optional<std::string>("Inkjet"));
  EXPECT_EQ(spooler.SetDefaultPrinter(u"Nowhere"), nebrin::platform::kInvalidPrinterName);
  EXPECT_EQ(machine().printers().defaultPrinter, std::optional<std::string>("Inkjet"));
}

}  // namespace
