// The few file operations the plug-in needs beyond the C++ standard library,
// on each system's own calls (PosixFiles.cpp, WindowsFiles.cpp). Paths are
// in the system's multibyte code page, as the host's platform paths are.
#pragma once

#include <cstdio>
#include <string>

namespace orbalis::platform {

// Makes a new file at `path` and opens it for binary writing. Fails (null)
// when anything is there already, a link included; `alreadyThere` then tells
// whether that was the reason.
std::FILE* CreateNewFile(const std::string& path, bool* alreadyThere);

// Flushes `stream` and has the system put its contents on the disk.
bool SyncToDisk(std::FILE* stream);

// Puts the file at `from` in the place of `to`, replacing a file there in
// one step. On failure both stay as they were.
bool MoveOver(const std::string& from, const std::string& to);

// Deletes the file at `path`.
bool RemoveFile(const std::string& path);

}  // namespace orbalis::platform
