#include "status_words.h"

#include <cstdint>
#include <cstdio>

namespace nebrin::host {
namespace {

const char* Meaning(std::uint32_t status) {
  switch (status) {
    case 0x80070002u:
      return "the file or device was not found";
    case 0x80070005u:
      return "access denied (administrative rights are needed)";
    case 0x80070015u:
      return "the adapter is not ready (it is not associated)";
    case 0x80070032u:
      return "the adapter does not take 802.11 requests (it is not a wireless adapter)";
    case 0x80070037u:
      return "the driver knows no adapter of that name";
    case 0x80070057u:
      return "a value the request does not take (an SSID over 32 bytes, a key over 99 bytes, or "
             "a value the driver refuses)";
    case 0x80070078u:
      return "this system has no service control manager";
    case 0x800700AAu:
      return "the adapter is bound to another open handle";
    case 0x80070422u:
      return "the service is disabled";
    case 0x80070424u:
      return "the service is not installed";
    case 0x80070425u:
      return "the service is starting or stopping and takes no request until it settles";
    case 0x8007048Fu:
      return "the handle is not bound to an adapter";
    case 0x8007000Eu:
      return "out of memory";
    case 0x80004002u:
      return "the network configuration offers no write lock";
    case 0x80004003u:
      return "no out-argument was given";
    case 0x80004005u:
      return "the installation failed unexpectedly";
    case 0x800401F0u:
      return "COM is not initialised on this thread";
    case 0x80040154u:
      return "this system has no network configuration objects";
    case 0x8004A024u:
      return "another program holds the network configuration's write lock";
    case 0x800F0203u:
      return "no setup file in the system's store describes the component";
    default:
      return nullptr;
  }
}

}  // namespace

std::string Hex(int status) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(status));
  return text;
}

std::string StatusWords(int status) {
  const char* meaning = Meaning(static_cast<std::uint32_t>(status));
  return meaning == nullptr ? Hex(status) : Hex(status) + ": " + meaning;
}

}  // namespace nebrin::host
