#include "host/io/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

// Opens a new, exclusively created file named after `target` in its folder;
// -1 with errno set when none can be made.
int CreateTemporary(const fs::path& target, mode_t mode, std::string* name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::minstd_rand next(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, ' ');
        for (char& c : suffix) c = kLetters[pick(next)];
        *name = (target.parent_path() / ("." + target.filename().string() + "." + suffix)).string();
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

}  // namespace

int ReplaceFile(const std::string& target, std::string_view text, mode_t newFileMode) {
    struct stat existing {};
    const bool exists = ::lstat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return EISDIR;

    std::string temporary;
    const int fd = CreateTemporary(fs::path(target), newFileMode, &temporary);
    if (fd < 0) return errno;
    int failure = WriteAll(fd, text);
    if (failure == 0 && exists && S_ISREG(existing.st_mode) && ::fchmod(fd, existing.st_mode & 07777) != 0)
        failure = errno;
    if (failure == 0 && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // Makes the rename itself durable; the new file is complete either way.
    const fs::path folder = fs::path(target).parent_path();
    const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return 0;
}

int FollowLinks(const std::string& path, std::string* followed) {
    // As many links in a row as the system itself follows.
    constexpr int kMostLinks = 40;
    fs::path at(path);
    for (int links = 0; links <= kMostLinks; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(at, ec)) {
            *followed = at.string();
            return 0;
        }
        const fs::path next = fs::read_symlink(at, ec);
        if (ec) return ec.value();
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return ELOOP;
}

}  // namespace orbalis::host
