#pragma once
// The program works in UTF-8 text; Windows names files and passes arguments in UTF-16, and its
// narrow file names would go through the ANSI code page. These keep a path like
// D:\酒店\豪华大床房.shd whole on every system.

#include <filesystem>
#include <string>
#include <vector>

namespace room::cli {

std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

#ifdef _WIN32
// The arguments wmain gets, as UTF-8.
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
#endif

// Output bytes as written, as on Linux: no CR added before LF, and a console that shows UTF-8.
void useUtf8Output();

}  // namespace room::cli
