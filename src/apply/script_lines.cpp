#include "apply/script_lines.h"

#include <string_view>

#include "frame/record_text.h"

namespace nebrin::apply {
namespace {

using frame::FieldText;

constexpr char16_t kEnd[] = u"\r\n";
constexpr char16_t kQuote[] = u"\"";

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool SafeText(std::u16string_view text) {
  for (char16_t c : text) {
    if (IsControl(c)) return false;
  }
  return true;
}

bool SafeName(std::u16string_view name) {
  return SafeText(name) && name.find(u'"') == std::u16string_view::npos;
}

// A field is set when it is neither empty nor exactly "0.0.0.0".
bool IsSet(const std::u16string& text) { return !text.empty() && text != u"0.0.0.0"; }

}  // namespace

std::vector<std::u16string> OpeningLines() {
  return {u"pushd interface\r\n", u"reset all\r\n", u"popd\r\n", u"pushd interface ip\r\n"};
}

std::u16string ClosingLine() { return u"popd\r\n"; }

bool SafeConvertedValue(std::string_view bytes) {
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

bool SafeConvertedName(std::string_view bytes) {
  return SafeConvertedValue(bytes) && bytes.find('"') == std::string_view::npos;
}

std::optional<AdapterBlock> DhcpLines(const AdapterInfoStr& adapter) {
  const std::u16string name = FieldText(adapter.ConnectionName);
  if (!SafeName(name)) return std::nullopt;
  const std::u16string quoted = kQuote + name + kQuote;
  AdapterBlock block;
  block.lines = {
      u"set address name=" + quoted + u" source=dhcp" + kEnd,
      u"set dns name=" + quoted + u" source=dhcp" + kEnd,
      u"set wins name=" + quoted + u" source=dhcp" + kEnd,
  };
  block.name = name;
  return block;
}

std::optional<AdapterBlock> StaticLines(const AdapterInfoStr& adapter) {
  const std::u16string name = FieldText(adapter.ConnectionName);
  const std::u16string address = FieldText(adapter.IpAddressList);
  const std::u16string mask = FieldText(adapter.SubnetMask);
  const std::u16string gateway = FieldText(adapter.GatewayList);
  const std::u16string metric = FieldText(adapter.Metric);
  const std::u16string dns1 = FieldText(adapter.PrimaryDnsServer);
  const std::u16string dns2 = FieldText(adapter.SecondaryDnsServer);
  const std::u16string wins1 = FieldText(adapter.PrimaryWinsServer);
  const std::u16string wins2 = FieldText(adapter.SecondaryWinsServer);
  if (!SafeName(name) || !SafeText(address) || !SafeText(mask)) return std::nullopt;

  const std::u16string quoted = kQuote + name + kQuote;
  AdapterBlock block;
  block.name = name;
  block.values = {address, mask};
  block.lines.push_back(u"set address name = " + quoted + u" source = static addr = " + address +
                        u" mask = " + mask + kEnd);
  // Only the texts that go into the script are checked: an unset field is never inserted.
  auto add = [&](bool wanted, std::initializer_list<const std::u16string*> inserted,
                 std::u16string line) {
    if (!wanted) return true;
    for (const std::u16string* text : inserted) {
      if (!SafeText(*text)) return false;
      block.values.push_back(*text);
    }
    block.lines.push_back(std::move(line));
    return true;
  };
  const bool ok =
      add(IsSet(gateway), {&gateway, &metric},
          u"set address name = " + quoted + u" gateway = " + gateway + u" gwmetric = " + metric +
              kEnd) &&
      add(IsSet(dns1), {&dns1},
          u"set dns name = " + quoted + u" source = static addr = " + dns1 + kEnd) &&
      add(IsSet(dns2), {&dns2}, u"add dns name = " + quoted + u" addr = " + dns2 + kEnd) &&
      add(IsSet(wins1), {&wins1},
          u"set wins name = " + quoted + u" source = static addr = " + wins1 + kEnd) &&
      add(IsSet(wins2), {&wins2}, u"add wins name = " + quoted + u" addr = " + wins2 + kEnd);
  if (!ok) return std::nullopt;
  return block;
}

}  // namespace nebrin::apply
