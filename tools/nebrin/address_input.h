// Checking the addresses and numbers a person types for an adapter's static settings.
#pragma once

#include <string>
#include <vector>

namespace nebrin::host {

// Dotted-decimal IPv4: four numbers 0 to 255 of at most three digits.
bool IsIpv4Address(const std::string& text);
// An IPv4 subnet mask: a dotted address whose ones come before its zeros.
bool IsSubnetMask(const std::string& text);
// A metric: decimal digits, 1 to 9999.
bool IsMetric(const std::string& text);

// "A" or "A,B": one or two IPv4 addresses; refuses anything else, naming `option`.
std::vector<std::string> AddressPair(const std::string& text, const std::string& option);

}  // namespace nebrin::host
