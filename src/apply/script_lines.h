// The lines of the address script "ip.txt" that the network shell runs in its "interface ip"
// context, built as UTF-16 text before each line is converted and written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "NebrinCoreDll.h"

namespace nebrin::apply {

inline constexpr char16_t kScriptName[] = u"ip.txt";

// The opening block (a reset of the interface configuration, then the "interface ip" context)
// and the closing line.
std::vector<std::u16string> OpeningLines();
std::u16string ClosingLine();

// The block that puts one adapter on DHCP, and the block that gives it its static settings
// (lines for unset gateway, DNS and WINS fields left out). Each line ends with CR LF.
// No block comes back when an inserted text would change the script's meaning: a connection name
// with a double quote, or any inserted text with a control character (CR and LF included). The
// shell runs with administrative rights, so such a text must never reach it.
std::optional<std::vector<std::u16string>> DhcpLines(const AdapterInfoStr& adapter);
std::optional<std::vector<std::u16string>> StaticLines(const AdapterInfoStr& adapter);

}  // namespace nebrin::apply
