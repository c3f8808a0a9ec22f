// The one folder the workbench reads and writes in. Every path a page names
// is relative to it; anything that would lead outside it (an absolute path,
// "..", a symbolic link pointing out) is refused.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/workbench/Refusal.h"

namespace orbalis::workbench {

class RootFolder {
public:
    // `folder` must exist; it is taken with its symbolic links resolved.
    explicit RootFolder(const std::filesystem::path& folder);
    const std::filesystem::path& path() const { return root_; }

    // The full path of an existing file or folder; false, with the reason.
    bool Existing(const std::string& relative, std::filesystem::path* full, Refusal* why) const;
    // The full path of a file to write: its folder must exist inside the
    // root, and what is there now, if anything, must be a file inside it.
    bool Writable(const std::string& relative, std::filesystem::path* full, Refusal* why) const;

    struct Entry {
        std::string name;
        bool folder = false;
        uintmax_t size = 0;
    };
    // The entries of a folder inside the root, folders first, then by name;
    // links that lead outside it are left out.
    bool List(const std::string& relative, std::vector<Entry>* entries, Refusal* why) const;

    // The path of `full` (inside the root) relative to it, with '/'.
    std::string Relative(const std::filesystem::path& full) const;

private:
    bool Inside(const std::filesystem::path& resolved) const;
    bool CheckWords(const std::string& relative, Refusal* why) const;

    std::filesystem::path root_;
};

}  // namespace orbalis::workbench
