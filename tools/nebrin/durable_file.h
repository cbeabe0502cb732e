// Replacing a small file of the host's own state whole: a reader, or the next command after a
// kill or a power cut, finds the old text or the new one.
#pragma once

#include <filesystem>
#include <string>

namespace nebrin::host {

// Writes `text` to "<target>.tmp" (a symlink in that place is removed, never followed), flushes
// it to disk and renames it over `target`. Throws std::runtime_error naming the step that failed;
// the temporary file is then removed.
void ReplaceFileDurably(const std::filesystem::path& target, const std::string& text);

}  // namespace nebrin::host
