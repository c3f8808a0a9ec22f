#include "sdk/platform/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace orbalis::platform {

std::FILE* CreateNewFile(const std::string& path, bool* alreadyThere) {
    *alreadyThere = false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *alreadyThere = errno == EEXIST;
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, "wb");
    if (!stream) {
        ::close(fd);
        ::unlink(path.c_str());
    }
    return stream;
}

bool SyncToDisk(std::FILE* stream) { return std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0; }

bool MoveOver(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace orbalis::platform
