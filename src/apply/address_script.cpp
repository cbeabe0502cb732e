// The address script "ip.txt": the opening block, one block per adapter and the closing line, each
// written by its own call that opens the file, writes and closes it again.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"
#include "apply/script_lines.h"
#include "frame/no_throw.h"
#include "platform/file_handle.h"
#include "platform/platform.h"

namespace nebrin::apply {
namespace {

using platform::CodePage;
using platform::Disposition;

// Room, in bytes, for one converted line.
constexpr std::size_t kAdapterLineBytes = 1024;
constexpr std::size_t kFrameLineBytes = 200;

// Converts one line and writes its bytes; false when the line does not convert into `room` bytes
// or nothing was written.
bool WriteLine(platform::Files& files, platform::FileHandle file, CodePage page,
               const std::u16string& line, std::size_t room) {
  std::string bytes;
  if (platform::Current().text().ToNarrow(page, line, bytes) != platform::kSuccess ||
      bytes.size() > room || bytes.empty()) {
    return false;
  }
  std::uint32_t written = 0;
  return files.Write(file, bytes, written) == platform::kSuccess && written != 0;
}

// Opens the existing script at its end; an empty handle when it does not open.
platform::UniqueFile OpenForAppending(platform::Files& files) {
  platform::FileHandle opened = platform::kNoFile;
  if (files.OpenFile(kScriptName, Disposition::OpenExisting, opened) != platform::kSuccess) {
    return {};
  }
  platform::UniqueFile file(files, opened);
  // Writing anywhere but at the end would overwrite what the script already holds.
  if (files.SeekToEnd(file.get()) != platform::kSuccess) return {};
  return file;
}

int AppendLines(const std::vector<std::u16string>& lines, CodePage page, std::size_t room) {
  platform::Files& files = platform::Current().files();
  platform::UniqueFile file = OpenForAppending(files);
  if (!file) return 0;
  for (const auto& line : lines) {
    if (!WriteLine(files, file.get(), page, line, room)) return 0;
  }
  return 1;
}

// Whether every text the block inserts is still safe once converted to the script's code page.
bool SafeInCodePage(const AdapterBlock& block, CodePage page) {
  platform::TextCodec& text = platform::Current().text();
  std::string bytes;
  if (text.ToNarrow(page, block.name, bytes) != platform::kSuccess || !SafeConvertedName(bytes))
    return false;
  for (const auto& value : block.values) {
    if (text.ToNarrow(page, value, bytes) != platform::kSuccess || !SafeConvertedValue(bytes))
      return false;
  }
  return true;
}

// The adapter lines use the OEM code page on the systems whose shell reads it.
int AppendAdapterBlock(const std::optional<AdapterBlock>& block, CNetInfoManage& self) {
  if (!block) return 0;  // an unsafe text: nothing is written
  platform::Files& files = platform::Current().files();
  platform::UniqueFile file = OpenForAppending(files);
  if (!file) return 0;
  const CodePage page = self.GetOSVer() != 0 ? CodePage::Oem : CodePage::Ansi;
  if (!SafeInCodePage(*block, page)) return 0;
  for (const auto& line : block->lines) {
    if (!WriteLine(files, file.get(), page, line, kAdapterLineBytes)) return 0;
  }
  return 1;
}

}  // namespace
}  // namespace nebrin::apply

int CNetInfoManage::MakeInitialPartInIPTxt() {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    platform::Files& files = platform::Current().files();
    platform::FileHandle opened = platform::kNoFile;
    if (files.OpenFile(apply::kScriptName, platform::Disposition::CreateAlways, opened) !=
        platform::kSuccess) {
      return 0;
    }
    platform::UniqueFile file(files, opened);
    for (const auto& line : apply::OpeningLines()) {
      if (!apply::WriteLine(files, file.get(), platform::CodePage::Ansi, line,
                            apply::kFrameLineBytes)) {
        return 0;
      }
    }
    return 1;
  });
}

int CNetInfoManage::MakeDHCPPartInIPTxt(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (adapters == nullptr || index < 0 || index >= NEBRIN_ADAPTER_RECORDS) return 0;
    return apply::AppendAdapterBlock(apply::DhcpLines(adapters[index]), *this);
  });
}

int CNetInfoManage::MakeStaticPartInIPTxt(EnvInfoStr*, AdapterInfoStr* adapters, int index) {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    if (adapters == nullptr || index < 0 || index >= NEBRIN_ADAPTER_RECORDS) return 0;
    return apply::AppendAdapterBlock(apply::StaticLines(adapters[index]), *this);
  });
}

int CNetInfoManage::MakeEndPartInIPTxt() {
  return nebrin::frame::Guarded(0, [&] {
    using namespace nebrin;
    return apply::AppendLines({apply::ClosingLine()}, platform::CodePage::Ansi,
                              apply::kFrameLineBytes);
  });
}
