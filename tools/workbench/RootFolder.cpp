#include "tools/workbench/RootFolder.h"

#include <algorithm>

namespace orbalis::workbench {

namespace fs = std::filesystem;

RootFolder::RootFolder(const fs::path& folder) : root_(fs::canonical(folder)) {}

bool RootFolder::Inside(const fs::path& resolved) const {
    auto r = root_.begin();
    auto p = resolved.begin();
    for (; r != root_.end(); ++r, ++p)
        if (p == resolved.end() || *p != *r) return false;
    return true;
}

bool RootFolder::CheckWords(const std::string& relative, std::string* error) const {
    if (relative.find('\0') != std::string::npos || relative.find('\\') != std::string::npos) {
        *error = "the path holds a character that is not allowed";
        return false;
    }
    const fs::path p(relative);
    if (p.is_absolute() || p.has_root_name()) {
        *error = "\"" + relative + "\" is not a path inside the root folder";
        return false;
    }
    for (const fs::path& part : p)
        if (part == "..") {
            *error = "\"" + relative + "\" leads outside the root folder";
            return false;
        }
    return true;
}

bool RootFolder::Existing(const std::string& relative, fs::path* full, std::string* error) const {
    if (!CheckWords(relative, error)) return false;
    std::error_code ec;
    const fs::path resolved = fs::canonical(root_ / relative, ec);
    if (ec) {
        *error = "\"" + relative + "\" does not exist";
        return false;
    }
    if (!Inside(resolved)) {
        *error = "\"" + relative + "\" leads outside the root folder";
        return false;
    }
    *full = resolved;
    return true;
}

bool RootFolder::Writable(const std::string& relative, fs::path* full, std::string* error) const {
    if (!CheckWords(relative, error)) return false;
    const fs::path p = (root_ / relative).lexically_normal();
    if (!p.has_filename() || p.filename() == ".") {
        *error = "\"" + relative + "\" names no file";
        return false;
    }
    std::error_code ec;
    const fs::path folder = fs::canonical(p.parent_path(), ec);
    if (ec || !fs::is_directory(folder)) {
        *error = "the folder of \"" + relative + "\" does not exist";
        return false;
    }
    if (!Inside(folder)) {
        *error = "\"" + relative + "\" leads outside the root folder";
        return false;
    }
    const fs::path target = folder / p.filename();
    const fs::file_status status = fs::symlink_status(target, ec);
    if (fs::exists(status)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (ec || !Inside(resolved)) {
            *error = "\"" + relative + "\" leads outside the root folder";
            return false;
        }
        if (!fs::is_regular_file(resolved)) {
            *error = "\"" + relative + "\" is not a file";
            return false;
        }
        *full = resolved;
        return true;
    }
    *full = target;
    return true;
}

bool RootFolder::List(const std::string& relative, std::vector<Entry>* entries, std::string* error) const {
    fs::path folder;
    if (!Existing(relative.empty() ? "." : relative, &folder, error)) return false;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *error = "\"" + relative + "\" is not a folder";
        return false;
    }
    entries->clear();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path resolved = fs::canonical(it->path(), ec);
        if (ec || !Inside(resolved)) {
            ec.clear();
            continue;
        }
        Entry e;
        e.name = it->path().filename().string();
        e.folder = fs::is_directory(resolved, ec);
        if (!e.folder) e.size = fs::file_size(resolved, ec);
        ec.clear();
        entries->push_back(std::move(e));
    }
    std::sort(entries->begin(), entries->end(), [](const Entry& a, const Entry& b) {
        return a.folder != b.folder ? a.folder : a.name < b.name;
    });
    return true;
}

std::string RootFolder::Relative(const fs::path& full) const {
    return full.lexically_relative(root_).generic_string();
}

}  // namespace orbalis::workbench
