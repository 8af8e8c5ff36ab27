#include "tools/cli/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace room::cli {

namespace fs = std::filesystem;

ReadResult readFile(const std::string& path) {
    ReadResult result;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        result.error = "no such file";
        return result;
    }
    if (fs::is_directory(path, ec)) {
        result.error = "is a directory";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = std::strerror(errno);
        return result;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        result.error = "read error";
        return result;
    }
    result.bytes = std::move(bytes);
    return result;
}

std::string writeFileAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target(path);
    fs::path temp = target;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return std::strerror(errno);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            const std::string reason = std::strerror(errno);
            out.close();
            std::error_code ignore;
            fs::remove(temp, ignore);
            return reason;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(temp, ignore);
        return ec.message();
    }
    return {};
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

}  // namespace room::cli
