// Shell service: the system's command runner (WinExec).
#pragma once

#include <cstdint>
#include <string_view>

namespace nebrin::platform {

inline constexpr std::uint32_t kSwShow = 5;  // SW_SHOW

class Shell {
 public:
  virtual ~Shell() = default;

  // WinExec of an 8-bit (ANSI) command line: greater than 31 when the program started, else an
  // error (0 out of resources, 2 file not found, 3 path not found, 11 bad format).
  virtual std::uint32_t WinExec(std::string_view commandLine, std::uint32_t showCommand) = 0;
};

}  // namespace nebrin::platform
