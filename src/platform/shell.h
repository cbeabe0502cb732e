// Shell service: the system's command runner (WinExec), the path of a special folder
// (SHGetFolderPathW) and path joining (PathAppendW).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hresult.h"

namespace nebrin::platform {

inline constexpr std::uint32_t kSwShow = 5;  // SW_SHOW

inline constexpr int kCsidlProgramFiles = 38;           // CSIDL_PROGRAM_FILES
inline constexpr std::uint32_t kFolderPathCurrent = 0;  // SHGFP_TYPE_CURRENT
// The path buffers of the shell's path functions, in UTF-16 units, terminator included.
inline constexpr std::size_t kMaxPath = 260;  // MAX_PATH

class Shell {
 public:
  virtual ~Shell() = default;

  // WinExec of an 8-bit (ANSI) command line: greater than 31 when the program started, else an
  // error (0 out of resources, 2 file not found, 3 path not found, 11 bad format).
  virtual std::uint32_t WinExec(std::string_view commandLine, std::uint32_t showCommand) = 0;
  // SHGetFolderPathW(no window, csidl, no token, flags) into a buffer of kMaxPath units: S_OK
  // and the folder's path, or a failure (E_FAIL when the folder does not exist).
  virtual HResult FolderPath(int csidl, std::uint32_t flags, std::u16string& path) = 0;
  // PathAppendW on a buffer of kMaxPath units holding `path`: joins `more` with one backslash
  // between the two. False, with `path` unchanged, when the result would not fit the buffer.
  virtual bool AppendPath(std::u16string& path, std::u16string_view more) = 0;
};

}  // namespace nebrin::platform
