#pragma once
// File access for the command-line tool. A write goes to a temporary file beside the target and
// replaces it only when complete, so a failed write never leaves a truncated file behind.

#include <optional>
#include <string>

namespace room::cli {

struct ReadResult {
    std::optional<std::string> bytes;
    std::string error;  // why the file could not be read
};

ReadResult readFile(const std::string& path);
// Empty on success, else the reason.
std::string writeFileAtomically(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

}  // namespace room::cli
