#include "profile_file.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "address_input.h"
#include "common/shown_text.h"

namespace nebrin::host {
namespace {

using nlohmann::json;

const char* RoleText(int nICSFlag) {
  return nICSFlag == 1 ? "server" : nICSFlag == 2 ? "client" : "normal";
}

// "1st", "2nd", "11th", "23rd": profiles are named by their place in the file, so they are not
// mistaken for profile numbers of a store.
std::string Ordinal(std::size_t n) {
  const std::size_t tens = n % 100;
  const char* suffix = "th";
  if (tens < 11 || tens > 13) {
    suffix = n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
  }
  return std::to_string(n) + suffix;
}

std::string TypeName(const json& value) {
  if (value.is_number_float()) return "a fractional number";
  if (value.is_number()) return "a whole number";
  if (value.is_string()) return "text";
  if (value.is_boolean()) return "true or false";
  if (value.is_null()) return "null";
  if (value.is_array()) return "a list";
  return "an object";
}

// A text from the file as a refusal quotes it: a short excerpt, control characters spelt out.
std::string Quoted(const std::string& utf8) { return text::Escaped(text::Excerpt(utf8)); }

// A value from the file as a refusal shows it, never more than a short excerpt.
std::string Dumped(const json& value) {
  if (value.is_structured()) return value.is_array() ? "a list" : "an object";
  return Quoted(value.dump(-1, ' ', false, json::error_handler_t::replace));
}

// Thrown by the parser's callback when a container opens deeper than the limit.
struct TooDeep {};

// Reads the members of one JSON object into record fields; every refusal names the place (the
// profile, the adapter) and the member.
class ObjectReader {
 public:
  // `kind` names what the object is ("a profile") for a member that does not belong in it.
  ObjectReader(const json& object, std::string place, std::string kind)
      : object_(object), place_(std::move(place)), kind_(std::move(kind)) {}

  const std::string& place() const { return place_; }

  [[noreturn]] void Refuse(const std::string& name, const std::string& problem) const {
    throw Refusal(place_ + ": \"" + Quoted(name) + "\" " + problem);
  }

  void RefuseUnknown(std::initializer_list<const char*> known) const {
    for (const auto& [name, value] : object_.items()) {
      bool isKnown = false;
      for (const char* k : known) isKnown = isKnown || name == k;
      if (!isKnown) Refuse(name, "is not a member of " + kind_);
    }
  }

  bool Has(const char* name) const { return object_.contains(name); }

  const json& Member(const char* name) const {
    const auto it = object_.find(name);
    if (it == object_.end()) Refuse(name, "is missing");
    return *it;
  }

  // A text member, checked for its type and for NUL characters, which a record field cannot hold.
  std::string String(const char* name) const {
    const json& value = Member(name);
    if (!value.is_string()) Refuse(name, "must be text, not " + TypeName(value));
    std::string utf8 = value.get<std::string>();
    if (utf8.find('\0') != std::string::npos) Refuse(name, "holds a NUL character");
    return utf8;
  }

  template <std::size_t N>
  std::string Text(const char* name, NebrinChar (&field)[N]) const {
    const std::string utf8 = String(name);
    const std::u16string text = ToUtf16(utf8);
    if (text.size() >= N) {
      Refuse(name, "\"" + Quoted(utf8) + "\" is too long (at most " + std::to_string(N - 1) +
                       " characters)");
    }
    for (std::size_t i = 0; i < text.size(); ++i) field[i] = static_cast<NebrinChar>(text[i]);
    field[text.size()] = 0;
    return utf8;
  }

  int Whole(const char* name) const {
    const json& value = Member(name);
    if (!value.is_number_integer()) Refuse(name, "must be a whole number, not " + TypeName(value));
    const bool fits =
        value.is_number_unsigned()
            ? value.get<std::uint64_t>() <= std::uint64_t{std::numeric_limits<int>::max()}
            : value.get<std::int64_t>() >= std::numeric_limits<int>::min() &&
                  value.get<std::int64_t>() <= std::numeric_limits<int>::max();
    if (!fits) Refuse(name, "is out of range (a 32-bit whole number)");
    return static_cast<int>(value.get<std::int64_t>());
  }

  int Flag(const char* name) const {
    const json& value = Member(name);
    if (!value.is_number_integer() || (value != 0 && value != 1)) {
      Refuse(name, "must be 0 or 1, not " + Dumped(value));
    }
    return value.get<int>();
  }

  // A text from a fixed set; its index in the set.
  std::size_t OneOf(const char* name, std::initializer_list<const char*> set) const {
    const std::string text = String(name);
    std::size_t index = 0;
    std::string list;
    for (const char* allowed : set) {
      if (text == allowed) return index;
      list += std::string(index == 0                ? ""
                          : index + 1 == set.size() ? " or "
                                                    : ", ") +
              "\"" + allowed + "\"";
      ++index;
    }
    Refuse(name, "must be " + list + ", not \"" + Quoted(text) + "\"");
  }

 private:
  const json& object_;
  std::string place_;
  std::string kind_;
};

// An address member: empty where `mayBeEmpty`, else dotted IPv4 (a subnet mask for a mask).
template <std::size_t N>
void Address(const ObjectReader& reader, const char* name, NebrinChar (&field)[N], bool mayBeEmpty,
             bool mask = false) {
  const std::string text = reader.Text(name, field);
  if (text.empty()) {
    if (!mayBeEmpty) reader.Refuse(name, "is empty; a static adapter needs it");
    return;
  }
  if (mask ? !IsSubnetMask(text) : !IsIpv4Address(text)) {
    reader.Refuse(name, "\"" + Quoted(text) +
                            (mask ? "\" is not a subnet mask (dotted IPv4)"
                                  : "\" is not a dotted IPv4 address"));
  }
}

void ReadAdapter(const json& value, const std::string& place, AdapterInfoStr& a) {
  if (!value.is_object()) throw Refusal(place + " must be an object, not " + TypeName(value));
  const ObjectReader r(value, place, "an adapter");
  r.RefuseUnknown({"AdapterName", "ConnectionName", "DeviceDesc", "MediaSubType", "DhcpEnabled",
                   "IpAddressList", "SubnetMask", "GatewayList", "PrimaryDnsServer",
                   "SecondaryDnsServer", "PrimaryWinsServer", "SecondaryWinsServer", "Metric"});
  r.Text("AdapterName", a.AdapterName);
  // The connection name is shown and matched against this machine's: a control character in it
  // is refused like one in a profile's name.
  if (text::HasControl(r.Text("ConnectionName", a.ConnectionName))) {
    r.Refuse("ConnectionName", "holds a control character");
  }
  r.Text("DeviceDesc", a.DeviceDesc);
  r.OneOf("MediaSubType", {"line", "air", "na"});
  r.Text("MediaSubType", a.MediaSubType);
  // A DHCP adapter's addresses are its lease's, which may be empty; a static one needs its own.
  const bool dhcp = r.OneOf("DhcpEnabled", {"yes", "no"}) == 0;
  r.Text("DhcpEnabled", a.DhcpEnabled);
  Address(r, "IpAddressList", a.IpAddressList, dhcp);
  Address(r, "SubnetMask", a.SubnetMask, dhcp, true);
  Address(r, "GatewayList", a.GatewayList, true);
  Address(r, "PrimaryDnsServer", a.PrimaryDnsServer, true);
  Address(r, "SecondaryDnsServer", a.SecondaryDnsServer, true);
  Address(r, "PrimaryWinsServer", a.PrimaryWinsServer, true);
  Address(r, "SecondaryWinsServer", a.SecondaryWinsServer, true);
  // The system's metric is kept as its decimal text ("0" when it has none); empty asks the
  // store for the system's metric when the profile is written.
  const std::string metric = r.Text("Metric", a.Metric);
  if (metric.find_first_not_of("0123456789") != std::string::npos) {
    r.Refuse("Metric", "\"" + Quoted(metric) + "\" is not a decimal number");
  }
}

FileProfile ReadProfile(const json& value, std::size_t position) {
  std::string place = "the " + Ordinal(position) + " profile";
  if (!value.is_object()) throw Refusal(place + " must be an object, not " + TypeName(value));
  if (value.contains("ProfileName") && value["ProfileName"].is_string()) {
    place += " (\"" + Quoted(value["ProfileName"].get<std::string>()) + "\")";
  }
  const ObjectReader r(value, place, "a profile");
  r.RefuseUnknown({"ProfileName", "nProfileKey", "IconIndex", "bDefaultPrinterFlag",
                   "strPrinterName", "nICSFlag", "strPublicDevGUID", "strPrivateDevGUID",
                   "bICFFlag", "bPrivateWlan", "bWLANWebKeyUse", "strWLANConnectionName",
                   "strWLANPassWord", "AdapterCount", "adapters"});
  FileProfile out;
  out.place = place;
  EnvInfoStr& e = out.profile.env;
  CCommonFtn().InitStructure(&e, out.profile.adapters);
  const std::string name = r.Text("ProfileName", e.ProfileName);
  if (name.empty()) r.Refuse("ProfileName", "is empty");
  if (text::HasControl(name)) r.Refuse("ProfileName", "holds a control character");
  r.Whole("nProfileKey");  // the number it had where it was exported; a new one is given here
  e.IconIndex = r.Whole("IconIndex");
  if (e.IconIndex < kIconMin || e.IconIndex > kIconMax) {
    r.Refuse("IconIndex", "is out of range (" + std::to_string(kIconMin) + " to " +
                              std::to_string(kIconMax) + ", what the profile list can read back)");
  }
  e.bDefaultPrinterFlag = r.Flag("bDefaultPrinterFlag");
  if (text::HasControl(r.Text("strPrinterName", e.strPrinterName))) {
    r.Refuse("strPrinterName", "holds a control character");
  }
  e.nICSFlag = static_cast<int>(r.OneOf("nICSFlag", {"normal", "server", "client"}));
  r.Text("strPublicDevGUID", e.strPublicDevGUID);
  r.Text("strPrivateDevGUID", e.strPrivateDevGUID);
  e.bICFFlag = r.Flag("bICFFlag");
  e.bPrivateWlan = r.Flag("bPrivateWlan");
  e.bWLANWebKeyUse = r.Flag("bWLANWebKeyUse");
  if (text::HasControl(r.Text("strWLANConnectionName", e.strWLANConnectionName))) {
    r.Refuse("strWLANConnectionName", "holds a control character");
  }
  out.keyTextGiven = r.Has("strWLANPassWord");
  if (out.keyTextGiven) r.Text("strWLANPassWord", e.strWLANPassWord);

  const int count = r.Whole("AdapterCount");
  const json& adapters = r.Member("adapters");
  if (!adapters.is_array()) r.Refuse("adapters", "must be a list, not " + TypeName(adapters));
  if (adapters.size() > NEBRIN_ADAPTER_RECORDS) {
    r.Refuse("adapters", "holds " + std::to_string(adapters.size()) +
                             " adapters; a profile has at most " +
                             std::to_string(NEBRIN_ADAPTER_RECORDS));
  }
  if (count < 0 || static_cast<std::size_t>(count) != adapters.size()) {
    r.Refuse("AdapterCount", "is " + std::to_string(count) + ", but \"adapters\" holds " +
                                 std::to_string(adapters.size()));
  }
  e.AdapterCount = count;
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    ReadAdapter(adapters[i], place + ", adapter " + std::to_string(i), out.profile.adapters[i]);
  }
  return out;
}

}  // namespace

nlohmann::ordered_json ProfileFileJson(const std::vector<HostProfile>& profiles, bool withSecrets) {
  using ordered = nlohmann::ordered_json;
  ordered list = ordered::array();
  for (const HostProfile& p : profiles) {
    const EnvInfoStr& e = p.env;
    ordered profile = {
        {"ProfileName", FieldUtf8(e.ProfileName)},
        {"nProfileKey", e.nProfileKey},
        {"IconIndex", e.IconIndex},
        {"bDefaultPrinterFlag", e.bDefaultPrinterFlag == 1 ? 1 : 0},
        {"strPrinterName", FieldUtf8(e.strPrinterName)},
        {"nICSFlag", RoleText(e.nICSFlag)},
        {"strPublicDevGUID", FieldUtf8(e.strPublicDevGUID)},
        {"strPrivateDevGUID", FieldUtf8(e.strPrivateDevGUID)},
        {"bICFFlag", e.bICFFlag == 1 ? 1 : 0},
        {"bPrivateWlan", e.bPrivateWlan == 1 ? 1 : 0},
        {"bWLANWebKeyUse", e.bWLANWebKeyUse == 1 ? 1 : 0},
        {"strWLANConnectionName", FieldUtf8(e.strWLANConnectionName)},
    };
    if (withSecrets) profile["strWLANPassWord"] = FieldUtf8(e.strWLANPassWord);
    profile["AdapterCount"] = e.AdapterCount;
    profile["adapters"] = ordered::array();
    for (int i = 0; i < e.AdapterCount && i < NEBRIN_ADAPTER_RECORDS; ++i) {
      const AdapterInfoStr& a = p.adapters[i];
      profile["adapters"].push_back({
          {"AdapterName", FieldUtf8(a.AdapterName)},
          {"ConnectionName", FieldUtf8(a.ConnectionName)},
          {"DeviceDesc", FieldUtf8(a.DeviceDesc)},
          {"MediaSubType", FieldUtf8(a.MediaSubType)},
          {"DhcpEnabled", FieldUtf8(a.DhcpEnabled)},
          {"IpAddressList", FieldUtf8(a.IpAddressList)},
          {"SubnetMask", FieldUtf8(a.SubnetMask)},
          {"GatewayList", FieldUtf8(a.GatewayList)},
          {"PrimaryDnsServer", FieldUtf8(a.PrimaryDnsServer)},
          {"SecondaryDnsServer", FieldUtf8(a.SecondaryDnsServer)},
          {"PrimaryWinsServer", FieldUtf8(a.PrimaryWinsServer)},
          {"SecondaryWinsServer", FieldUtf8(a.SecondaryWinsServer)},
          {"Metric", FieldUtf8(a.Metric)},
      });
    }
    list.push_back(std::move(profile));
  }
  return {{"format", kProfileFileFormat}, {"version", kProfileFileVersion}, {"profiles", list}};
}

std::vector<FileProfile> ReadProfileFile(std::string_view text) {
  if (text.size() > kProfileFileMaxBytes) {
    throw Refusal("it is larger than " + std::to_string(kProfileFileMaxBytes / (1024 * 1024)) +
                  " MiB, too large for a profile file");
  }
  json doc;
  try {
    doc = json::parse(text, [](int depth, json::parse_event_t event, json&) {
      if ((event == json::parse_event_t::object_start ||
           event == json::parse_event_t::array_start) &&
          depth >= kProfileFileMaxDepth) {
        throw TooDeep{};
      }
      return true;
    });
  } catch (const json::parse_error& e) {
    throw Refusal("it is not a JSON document (the error is at byte " + std::to_string(e.byte) +
                  ")");
  } catch (const TooDeep&) {
    throw Refusal("it is nested more than " + std::to_string(kProfileFileMaxDepth) +
                  " levels deep, too deep for a profile file");
  }
  if (!doc.is_object()) throw Refusal("it is not a profile file: the document is not an object");
  const ObjectReader top(doc, "the document", "a profile file");
  const json& format = top.Member("format");
  if (format != kProfileFileFormat) {
    throw Refusal("it is not a profile file: \"format\" is " + Dumped(format) + ", not \"" +
                  kProfileFileFormat + "\"");
  }
  const json& version = top.Member("version");
  if (version != kProfileFileVersion) {
    throw Refusal("it is a profile file of version " + Dumped(version) +
                  "; this nebrin reads version " + std::to_string(kProfileFileVersion));
  }
  top.RefuseUnknown({"format", "version", "profiles"});
  const json& list = top.Member("profiles");
  if (!list.is_array()) top.Refuse("profiles", "must be a list, not " + TypeName(list));
  std::vector<FileProfile> profiles;
  for (std::size_t i = 0; i < list.size(); ++i) profiles.push_back(ReadProfile(list[i], i + 1));
  return profiles;
}

}  // namespace nebrin::host
