#include "tools/cli/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/cli/native_text.h"

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <windows.h>

#include <random>
#else
#include <unistd.h>
#endif

namespace room::cli {

namespace fs = std::filesystem;

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

std::string sizeText(std::size_t bytes) {
    return bytes % (1024 * 1024) == 0 ? std::to_string(bytes / (1024 * 1024)) + " MB"
                                      : std::to_string(bytes) + " bytes";
}

#ifdef _WIN32
int openForReading(const fs::path& path) {
    int fd = -1;
    _wsopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYWR, 0);
    return fd;
}
long long readSome(int fd, char* into, std::size_t size) {
    return _read(fd, into, static_cast<unsigned>(size));
}
long long writeSome(int fd, const char* from, std::size_t size) {
    return _write(fd, from, static_cast<unsigned>(size));
}
int syncFile(int fd) {
    return _commit(fd);
}
int closeFile(int fd) {
    return _close(fd);
}
void removeFile(const fs::path& path) {
    _wunlink(path.c_str());
}

// Windows has no mkstemp: try random names, each created exclusively.
int createUnique(const fs::path& target, fs::path& temp) {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Not `"." + std::to_string(...)`: GCC 12 at -O3 warns of an overlap that cannot happen.
        temp = target;
        temp += ".";
        temp += std::to_string(seed() % 1000000u);
        int fd = -1;
        _wsopen_s(&fd, temp.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool replaceTarget(const fs::path& temp, const fs::path& target, int& error) {
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}

void keepMode(int, const fs::path&) {}
#else
// O_NONBLOCK: opening a FIFO without a writer would wait for one.
int openForReading(const fs::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
long long readSome(int fd, char* into, std::size_t size) {
    return ::read(fd, into, size);
}
long long writeSome(int fd, const char* from, std::size_t size) {
    return ::write(fd, from, size);
}
int syncFile(int fd) {
    return ::fsync(fd);
}
int closeFile(int fd) {
    return ::close(fd);
}
void removeFile(const fs::path& path) {
    ::unlink(path.c_str());
}

// mkstemp creates with O_EXCL: an existing file or symlink of that name is never opened.
int createUnique(const fs::path& target, fs::path& temp) {
    std::string pattern = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    temp = pattern;
    if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}

bool replaceTarget(const fs::path& temp, const fs::path& target, int& error) {
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

// mkstemp creates 0600; the new file gets the old file's mode, or what a plain create would.
void keepMode(int fd, const fs::path& target) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
}
#endif

bool writeAll(int fd, const std::string& bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long long written = writeSome(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = written < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Where the bytes go: the file a symlink points to, else the name itself.
fs::path resolvedTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::canonical(path, ec);
        if (!ec) return resolved;
    }
    return fs::absolute(path, ec);
}

}  // namespace

ReadResult readFile(const std::string& path, std::size_t maxBytes) {
    ReadResult result;
    const int fd = openForReading(pathFromUtf8(path));
    if (fd < 0) {
        result.error = reason(errno);
        return result;
    }
    // Checked on the open file, so nothing can be swapped in between.
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        result.error = reason(errno);
    } else if ((st.st_mode & S_IFMT) == S_IFDIR) {
        result.error = "is a directory";
    } else if ((st.st_mode & S_IFMT) != S_IFREG) {
        result.error = "not a regular file";
    } else if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        result.error = "larger than " + sizeText(maxBytes);
    }
    std::string bytes;
    if (result.error.empty()) bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
    char buffer[65536];
    // One byte past the limit tells a file that grew since it was checked.
    while (result.error.empty() && bytes.size() <= maxBytes) {
        const long long got = readSome(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) result.error = reason(errno);
        if (got <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    closeFile(fd);
    if (result.error.empty() && bytes.size() > maxBytes) {
        result.error = "larger than " + sizeText(maxBytes);
    }
    if (result.error.empty()) result.bytes = std::move(bytes);
    return result;
}

std::string writeFileAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target = resolvedTarget(pathFromUtf8(path));
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::is_directory(status)) return "it is a directory";
    if (fs::exists(status) && !fs::is_regular_file(status)) return "it is not a regular file";

    fs::path temp;
    const int fd = createUnique(target, temp);
    if (fd < 0) {
        return "no temporary file can be created in " + utf8FromPath(target.parent_path()) + ": " +
               reason(errno);
    }
    keepMode(fd, target);
    int error = 0;
    bool ok = writeAll(fd, bytes, error);
    if (ok && syncFile(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (closeFile(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && !replaceTarget(temp, target, error)) {
        removeFile(temp);
        return "the temporary file " + utf8FromPath(temp) + " cannot replace it: " + reason(error);
    }
    if (!ok) {
        removeFile(temp);
        return reason(error);
    }
    return {};
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(pathFromUtf8(path), ec));
}

}  // namespace room::cli
