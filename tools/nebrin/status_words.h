// The status values of the wireless members (0, or an HRESULT), in hexadecimal with their meaning.
#pragma once

#include <string>

namespace nebrin::host {

// "0x80070424".
std::string Hex(int status);
// "0x80070424: the service is not installed", or the hexadecimal value alone.
std::string StatusWords(int status);

}  // namespace nebrin::host
