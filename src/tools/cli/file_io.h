#pragma once
// File access for the command-line tool, which may be built without Qt.
//
// A read takes a regular file of bounded size only: a FIFO or a device would block or never end,
// and a huge file would fill the memory. A write goes to a temporary file created exclusively,
// under a name of its own, in the target's folder; it reaches the disk and then replaces the
// target in one rename, so a failed or killed write leaves the old file, and nothing else in the
// folder (a file or link that happens to carry some fixed name) is ever opened or replaced.

#include <cstddef>
#include <optional>
#include <string>

namespace room::cli {

struct ReadResult {
    std::optional<std::string> bytes;
    std::string error;  // why the file could not be read
};

ReadResult readFile(const std::string& path, std::size_t maxBytes);

// Empty on success, else the reason, naming the folder or the temporary file when that is what
// failed. A symlink is followed (the file it points to is replaced, as the desktop program
// does); a target that is a folder, a FIFO or a device is refused.
std::string writeFileAtomically(const std::string& path, const std::string& bytes);

bool fileExists(const std::string& path);

}  // namespace room::cli
