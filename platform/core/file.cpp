#include "platform/core/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace rymd {

namespace {

// Opens path for reading without waiting on a FIFO and checks that it is a regular file within
// the limit; fd is the open file on kNone, else -1.
ReadFileError OpenForReading(const std::string& path, std::uint64_t maxBytes, int& fd, std::uint64_t& size) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == EISDIR ? ReadFileError::kNotAFile : ReadFileError::kCannotOpen;
    struct stat st;
    ReadFileError error = ReadFileError::kNone;
    if (::fstat(fd, &st) != 0) {
        error = ReadFileError::kCannotOpen;
    } else if (!S_ISREG(st.st_mode)) {
        error = ReadFileError::kNotAFile;
    } else if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        error = ReadFileError::kTooLarge;
    }
    if (error != ReadFileError::kNone) {
        ::close(fd);
        fd = -1;
        return error;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return ReadFileError::kNone;
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The final target of a chain of symlinks (path itself when it is none); the last link of a
// chain that ends nowhere gives the name to create. "" for a loop.
std::string FollowLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return path;
        target.resize(static_cast<std::size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + target;
    }
    return "";
}

// Writes into an existing file that is not a regular one (a device node, a FIFO with a reader).
bool WriteInPlace(const std::string& path, const std::vector<std::uint8_t>& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    // Waiting on a full pipe is fine once a reader is there.
    const int flags = ::fcntl(fd, F_GETFL);
    bool ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
    ok = ok && WriteAll(fd, data.data(), data.size());
    return ::close(fd) == 0 && ok;
}

}  // namespace

ReadFileError ReadFile(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    out.clear();
    int fd = -1;
    std::uint64_t size = 0;
    const ReadFileError opened = OpenForReading(path, maxBytes, fd, size);
    if (opened != ReadFileError::kNone) return opened;
    out.reserve(static_cast<std::size_t>(size));
    std::uint8_t chunk[65536];
    ReadFileError error = ReadFileError::kNone;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = ReadFileError::kReadFailed;
            break;
        }
        if (n == 0) break;
        // A file that grows while it is read is held to the same limit.
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            error = ReadFileError::kTooLarge;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    ::close(fd);
    if (error != ReadFileError::kNone) {
        out.clear();
        out.shrink_to_fit();
    }
    return error;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    return ReadFile(path, out, maxBytes) == ReadFileError::kNone;
}

ReadFileError ProbeReadFile(const std::string& path, std::uint64_t maxBytes) {
    int fd = -1;
    std::uint64_t size = 0;
    const ReadFileError error = OpenForReading(path, maxBytes, fd, size);
    if (fd >= 0) ::close(fd);
    return error;
}

std::string ReadFileErrorText(const std::string& path, ReadFileError error, std::uint64_t maxBytes) {
    switch (error) {
        case ReadFileError::kNone: return "";
        case ReadFileError::kNotAFile: return "not a regular file";
        case ReadFileError::kTooLarge:
            return "larger than " + (maxBytes % (1 << 20) == 0 && maxBytes > 0
                                         ? std::to_string(maxBytes >> 20) + " MB"
                                         : std::to_string(maxBytes) + " bytes");
        case ReadFileError::kReadFailed: return "read error";
        case ReadFileError::kCannotOpen: break;
    }
    // The system's reason, found again.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return "cannot open";
    }
    return std::strerror(errno);
}

std::string WhyUnreadable(const std::string& path, std::uint64_t maxBytes) {
    const ReadFileError error = ProbeReadFile(path, maxBytes);
    return error == ReadFileError::kNone ? "read error" : ReadFileErrorText(path, error, maxBytes);
}

bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data) {
    const std::string target = FollowLinks(path);
    if (target.empty()) return false;
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return WriteInPlace(target, data);

    // A short temporary name, so that a target name near the system's limit still has room.
    static std::atomic<unsigned> counter{0};
    const std::string folder = DirectoryOf(target);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".rymd%x_%x", static_cast<unsigned>(::getpid()), counter++);
        temp = folder + name;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = !exists || S_ISDIR(st.st_mode) || ::fchmod(fd, st.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

namespace {

// The place a path names: absolute, its symlinks followed (a dangling one to where its target
// would be), normalised.
std::filesystem::path ResolvedPlace(const std::string& p) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = fs::absolute(p, ec);
    if (ec) return fs::path(p).lexically_normal();
    constexpr int kMaxLinkHops = 40;  // as the system's own limit on a chain of symlinks
    for (int hops = 0; hops < kMaxLinkHops && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : resolved;
}

}  // namespace

bool SamePlace(const std::string& a, const std::string& b) {
    return SameFile(a, b) || ResolvedPlace(a) == ResolvedPlace(b);
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t pos = path.find_last_of("/\\");
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace rymd
