// Reading a machine file's JSON: members by name, typed values, and errors that name the place
// in the document as a JSON Pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/machine_json.h"

namespace nebrin::sim {

// A JSON Pointer to a member or an element of the place `where`.
std::string Child(const std::string& where, std::string_view member);
std::string Child(const std::string& where, std::size_t index);

// Throws MachineFileError "<where>: <problem>".
[[noreturn]] void Fail(const std::string& where, const std::string& problem);

// The object at `where`, which may hold only the members named.
const Json& RequireObject(const Json& json, const std::string& where,
                          std::initializer_list<const char*> allowed);
const Json* Member(const Json& object, const char* name);

std::string ReadString(const Json& json, const std::string& where);
std::uint32_t ReadUint32(const Json& json, const std::string& where);
bool ReadBool(const Json& json, const std::string& where);
std::vector<std::string> ReadStringList(const Json& json, const std::string& where);

// Read a member when it is there, else leave `out` as it is.
void ReadOptionalString(const Json& object, const char* name, const std::string& where,
                        std::string& out);
void ReadOptionalUint32(const Json& object, const char* name, const std::string& where,
                        std::uint32_t& out);
void ReadOptionalBool(const Json& object, const char* name, const std::string& where, bool& out);

// Bytes as two lower-case hexadecimal digits each, and back (either case).
std::string Hex(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadHex(const Json& json, const std::string& where);

}  // namespace nebrin::sim
