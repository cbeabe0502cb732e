#include "platform/sim/json_reading.h"

#include <limits>

namespace nebrin::sim {

std::string Child(const std::string& where, std::string_view member) {
  std::string escaped;
  for (char c : member) {
    if (c == '~') {
      escaped += "~0";
    } else if (c == '/') {
      escaped += "~1";
    } else {
      escaped.push_back(c);
    }
  }
  return where + "/" + escaped;
}

std::string Child(const std::string& where, std::size_t index) {
  return where + "/" + std::to_string(index);
}

[[noreturn]] void Fail(const std::string& where, const std::string& problem) {
  throw MachineFileError((where.empty() ? std::string("/") : where) + ": " + problem);
}

const Json& RequireObject(const Json& json, const std::string& where,
                          std::initializer_list<const char*> allowed) {
  if (!json.is_object()) Fail(where, "expected an object");
  for (const auto& [member, item] : json.items()) {
    bool known = false;
    for (const char* name : allowed) known = known || member == name;
    if (!known) Fail(Child(where, member), "unknown member");
  }
  return json;
}

const Json* Member(const Json& object, const char* name) {
  auto it = object.find(name);
  return it == object.end() ? nullptr : &*it;
}

std::string ReadString(const Json& json, const std::string& where) {
  if (!json.is_string()) Fail(where, "expected a string");
  return json.get<std::string>();
}

std::uint32_t ReadUint32(const Json& json, const std::string& where) {
  if (!json.is_number_unsigned() && !(json.is_number_integer() && json.get<std::int64_t>() >= 0)) {
    Fail(where, "expected a whole number from 0 to 4294967295");
  }
  const std::uint64_t number = json.get<std::uint64_t>();
  if (number > std::numeric_limits<std::uint32_t>::max()) {
    Fail(where, "expected a whole number from 0 to 4294967295");
  }
  return static_cast<std::uint32_t>(number);
}

bool ReadBool(const Json& json, const std::string& where) {
  if (!json.is_boolean()) Fail(where, "expected true or false");
  return json.get<bool>();
}

void ReadOptionalString(const Json& object, const char* name, const std::string& where,
                        std::string& out) {
  if (const Json* member = Member(object, name)) out = ReadString(*member, Child(where, name));
}

void ReadOptionalUint32(const Json& object, const char* name, const std::string& where,
                        std::uint32_t& out) {
  if (const Json* member = Member(object, name)) out = ReadUint32(*member, Child(where, name));
}

void ReadOptionalBool(const Json& object, const char* name, const std::string& where, bool& out) {
  if (const Json* member = Member(object, name)) out = ReadBool(*member, Child(where, name));
}

std::vector<std::string> ReadStringList(const Json& json, const std::string& where) {
  if (!json.is_array()) Fail(where, "expected an array of strings");
  std::vector<std::string> items;
  for (std::size_t i = 0; i < json.size(); ++i) {
    items.push_back(ReadString(json[i], Child(where, i)));
  }
  return items;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0xF]);
  }
  return text;
}

std::vector<std::uint8_t> ReadHex(const Json& json, const std::string& where) {
  const std::string text = ReadString(json, where);
  if (text.size() % 2 != 0) Fail(where, "hex text of odd length");
  auto digit = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    Fail(where, std::string("not a hex digit: '") + c + "'");
  };
  std::vector<std::uint8_t> bytes(text.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(digit(text[2 * i]) << 4 | digit(text[2 * i + 1]));
  }
  return bytes;
}

}  // namespace nebrin::sim
