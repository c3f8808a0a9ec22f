// Replacing a file on Windows: the new contents go to an exclusively created
// file beside the target, flushed, which then takes the target's place in
// one step (MoveFileExW replaces an existing file, which rename does not).
// Paths are UTF-8, the program's multibyte code page.
#include "host/io/ReplaceFile.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include "host/win32/Driver.h"
#include "host/windows/SystemCalls.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;
const HANDLE kInvalidHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

int ErrnoOf(DWORD error) {
    switch (error) {
    case 2:                   // ERROR_FILE_NOT_FOUND
    case 3: return ENOENT;    // ERROR_PATH_NOT_FOUND
    case 5: return EACCES;    // ERROR_ACCESS_DENIED
    case 32: return EBUSY;    // ERROR_SHARING_VIOLATION
    case 39:                  // ERROR_HANDLE_DISK_FULL
    case 112: return ENOSPC;  // ERROR_DISK_FULL
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    default: return EIO;
    }
}

}  // namespace

int ReplaceFile(const std::string& target, std::string_view text, mode_t) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand next(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    const fs::path where(win32::Widen(target));
    std::u16string temporary;
    HANDLE file = kInvalidHandle;
    for (int attempt = 0; attempt < 100 && file == kInvalidHandle; ++attempt) {
        std::string suffix(8, ' ');
        for (char& c : suffix) c = kLetters[pick(next)];
        temporary =
            (where.parent_path() / (u"." + where.filename().u16string() + u"." + win32::Widen(suffix))).u16string();
        file = CreateFileW(WideText(temporary.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == kInvalidHandle && GetLastError() != ERROR_FILE_EXISTS) return ErrnoOf(GetLastError());
    }
    if (file == kInvalidHandle) return EEXIST;
    int failure = 0;
    while (failure == 0 && !text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 1u << 30));
        if (!WriteFile(file, text.data(), chunk, &written, nullptr)) failure = ErrnoOf(GetLastError());
        text.remove_prefix(written);
    }
    if (failure == 0 && !FlushFileBuffers(file)) failure = ErrnoOf(GetLastError());
    CloseHandle(file);
    const std::u16string targetName = where.u16string();
    if (failure == 0 && !MoveFileExW(WideText(temporary.c_str()), WideText(targetName.c_str()),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = ErrnoOf(GetLastError());
    if (failure != 0) DeleteFileW(WideText(temporary.c_str()));
    return failure;
}

// Links are not followed on Windows: a path names the file written.
int FollowLinks(const std::string& path, std::string* followed) {
    *followed = path;
    return 0;
}

}  // namespace orbalis::host
