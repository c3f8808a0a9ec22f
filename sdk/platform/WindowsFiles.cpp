#include "sdk/platform/Files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace orbalis::platform {
namespace {

// The path in UTF-16 for the wide calls; empty when it is not valid in the
// system's multibyte code page.
std::wstring WidePath(const std::string& path) {
    const int size = static_cast<int>(path.size());
    const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), units);
    return wide;
}

}  // namespace

std::FILE* CreateNewFile(const std::string& path, bool* alreadyThere) {
    *alreadyThere = false;
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return nullptr;
    // CREATE_NEW fails on anything at the path, a link included: the C
    // runtime's exclusive "x" mode is not known to every Windows runtime.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *alreadyThere = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(file);
        DeleteFileW(wide.c_str());
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        DeleteFileW(wide.c_str());
    }
    return stream;
}

bool SyncToDisk(std::FILE* stream) {
    if (std::fflush(stream) != 0) return false;
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    return handle != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(handle));
}

// std::rename fails on Windows when the target exists, so a file saved over
// an existing one needs the move that replaces.
bool MoveOver(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = WidePath(from);
    const std::wstring wideTo = WidePath(to);
    if (wideFrom.empty() || wideTo.empty()) return false;
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
}

}  // namespace orbalis::platform
