#include "address_input.h"

#include <cstdint>
#include <sstream>

#include "host_profile.h"

namespace nebrin::host {
namespace {

bool Digits(const std::string& text, std::size_t most) {
  if (text.empty() || text.size() > most) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool ParseIpv4(const std::string& text, std::uint32_t& value) {
  value = 0;
  std::size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t end = part < 3 ? text.find('.', start) : text.size();
    if (end == std::string::npos) return false;
    const std::string number = text.substr(start, end - start);
    if (!Digits(number, 3) || std::stoi(number) > 255) return false;
    value = (value << 8) | static_cast<std::uint32_t>(std::stoi(number));
    start = end + 1;
  }
  return true;
}

}  // namespace

bool IsIpv4Address(const std::string& text) {
  std::uint32_t value = 0;
  return ParseIpv4(text, value);
}

bool IsSubnetMask(const std::string& text) {
  std::uint32_t value = 0;
  if (!ParseIpv4(text, value)) return false;
  const std::uint32_t zeros = ~value;
  return (zeros & (zeros + 1)) == 0;  // the zeros form one run at the low end
}

bool IsMetric(const std::string& text) { return Digits(text, 4) && std::stoi(text) >= 1; }

std::vector<std::string> AddressPair(const std::string& text, const std::string& option) {
  std::vector<std::string> addresses;
  std::stringstream parts(text);
  std::string part;
  while (std::getline(parts, part, ',')) addresses.push_back(part);
  if (!text.empty() && text.back() == ',') addresses.push_back("");
  if (addresses.empty() || addresses.size() > 2) {
    throw Refusal(option + " takes one or two addresses separated by a comma, not \"" + text +
                  "\"");
  }
  for (const std::string& address : addresses) {
    if (!IsIpv4Address(address)) {
      throw Refusal(option + ": \"" + address + "\" is not a dotted IPv4 address");
    }
  }
  return addresses;
}

}  // namespace nebrin::host
