// The lines of the address script "ip.txt" that the network shell runs in its "interface ip"
// context, built as UTF-16 text before each line is converted and written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NebrinCoreDll.h"

namespace nebrin::apply {

inline constexpr char16_t kScriptName[] = u"ip.txt";

// The opening block (a reset of the interface configuration, then the "interface ip" context)
// and the closing line.
std::vector<std::u16string> OpeningLines();
std::u16string ClosingLine();

// One adapter's block: its lines, each ending with CR LF, and the record's texts that went into
// them.
struct AdapterBlock {
  std::vector<std::u16string> lines;
  std::u16string name;                 // the connection name, inserted between double quotes
  std::vector<std::u16string> values;  // every other text inserted
};

// The block that puts one adapter on DHCP, and the block that gives it its static settings
// (lines for unset gateway, DNS and WINS fields left out).
// No block comes back when an inserted text would change the script's meaning: a connection name
// with a double quote, or any inserted text with a control character (CR and LF included). The
// shell runs with administrative rights, so such a text must never reach it.
std::optional<AdapterBlock> DhcpLines(const AdapterInfoStr& adapter);
std::optional<AdapterBlock> StaticLines(const AdapterInfoStr& adapter);

// The same rule for an inserted text once it is converted to the script's code page, where a
// character that is harmless in UTF-16 can become a control byte or a quote (the best-fit tables
// turn U+FF02 into '"', and the OEM pages' glyphs U+266A and U+25D9 into CR and LF): no byte below
// 0x20, no DEL, and for the name no double quote.
bool SafeConvertedValue(std::string_view bytes);
bool SafeConvertedName(std::string_view bytes);

}  // namespace nebrin::apply
