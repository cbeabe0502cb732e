#include "wlan/driver_requests.h"

#include <algorithm>

#include "frame/record_text.h"
#include "platform/hresult.h"
#include "platform/platform.h"

namespace nebrin::wlan {
namespace {

void PutWord(std::vector<std::uint8_t>& record, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// Every record starts zeroed, so no byte that carries no value holds anything but zero.
std::vector<std::uint8_t> Record(std::uint32_t oid, std::size_t length) {
  std::vector<std::uint8_t> record(length, 0);
  PutWord(record, 0, oid);
  return record;
}

}  // namespace

std::vector<std::uint8_t> BindingRequest(std::u16string_view bindingName) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(bindingName.size() * 2);
  for (const char16_t unit : bindingName) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::vector<std::uint8_t> ValueRequest(std::uint32_t oid, std::uint32_t value) {
  std::vector<std::uint8_t> record = Record(oid, 8);
  PutWord(record, 4, value);
  return record;
}

std::vector<std::uint8_t> WepKeyRequest(std::uint32_t keyIndex, std::string_view key) {
  const auto length = static_cast<std::uint32_t>(key.size());
  std::vector<std::uint8_t> record = Record(kOidAddWep, key.size() + 16);
  PutWord(record, 4, length + 12);  // Length: the payload's size
  PutWord(record, 8, keyIndex);
  PutWord(record, 12, length);
  std::copy(key.begin(), key.end(), record.begin() + 16);
  return record;
}

std::vector<std::uint8_t> SsidRequest(std::string_view ssid) {
  std::vector<std::uint8_t> record = Record(kOidSsid, 8 + kSsidFieldBytes);
  PutWord(record, 4, static_cast<std::uint32_t>(ssid.size()));
  const std::size_t copied = std::min(ssid.size(), kSsidFieldBytes);
  std::copy(ssid.begin(), ssid.begin() + copied, record.begin() + 8);
  return record;
}

int ConvertRequestText(const NebrinChar* text, std::size_t maxBytes, std::string& bytes) {
  if (text == nullptr) return platform::kEPointer;
  std::string converted;
  if (platform::Status error = platform::Current().text().ToNarrow(
          platform::CodePage::Ansi, frame::ParamText(text), converted)) {
    return platform::HResultFromWin32(error);
  }
  // The text ends at its terminator, as the length of the converted buffer is taken.
  converted.resize(std::min(converted.size(), converted.find('\0')));
  if (converted.size() > maxBytes) return platform::kEInvalidArg;
  bytes = std::move(converted);
  return 0;
}

}  // namespace nebrin::wlan
