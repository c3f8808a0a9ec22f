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

bool RootFolder::CheckWords(const std::string& relative, Refusal* why) const {
    if (relative.find('\0') != std::string::npos || relative.find('\\') != std::string::npos) {
        *why = {"path-character", "the path holds a character that is not allowed", relative};
        return false;
    }
    const fs::path p(relative);
    if (p.is_absolute() || p.has_root_name()) {
        *why = {"path-absolute", "\"" + relative + "\" is not a path inside the root folder", relative};
        return false;
    }
    for (const fs::path& part : p)
        if (part == "..") {
            *why = {"path-outside", "\"" + relative + "\" leads outside the root folder", relative};
            return false;
        }
    return true;
}

bool RootFolder::Existing(const std::string& relative, fs::path* full, Refusal* why) const {
    if (!CheckWords(relative, why)) return false;
    std::error_code ec;
    const fs::path resolved = fs::canonical(root_ / relative, ec);
    if (ec) {
        *why = {"path-missing", "\"" + relative + "\" does not exist", relative};
        return false;
    }
    if (!Inside(resolved)) {
        *why = {"path-outside", "\"" + relative + "\" leads outside the root folder", relative};
        return false;
    }
    *full = resolved;
    return true;
}

bool RootFolder::Writable(const std::string& relative, fs::path* full, Refusal* why) const {
    if (!CheckWords(relative, why)) return false;
    const fs::path p = (root_ / relative).lexically_normal();
    if (!p.has_filename() || p.filename() == ".") {
        *why = {"path-no-file", "\"" + relative + "\" names no file", relative};
        return false;
    }
    std::error_code ec;
    const fs::path folder = fs::canonical(p.parent_path(), ec);
    if (ec || !fs::is_directory(folder)) {
        *why = {"path-no-folder", "the folder of \"" + relative + "\" does not exist", relative};
        return false;
    }
    if (!Inside(folder)) {
        *why = {"path-outside", "\"" + relative + "\" leads outside the root folder", relative};
        return false;
    }
    const fs::path target = folder / p.filename();
    const fs::file_status status = fs::symlink_status(target, ec);
    if (fs::exists(status)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (ec || !Inside(resolved)) {
            *why = {"path-outside", "\"" + relative + "\" leads outside the root folder", relative};
            return false;
        }
        if (!fs::is_regular_file(resolved)) {
            *why = {"path-not-file", "\"" + relative + "\" is not a file", relative};
            return false;
        }
        *full = resolved;
        return true;
    }
    *full = target;
    return true;
}

bool RootFolder::List(const std::string& relative, std::vector<Entry>* entries, Refusal* why) const {
    fs::path folder;
    if (!Existing(relative.empty() ? "." : relative, &folder, why)) return false;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *why = {"path-not-folder", "\"" + relative + "\" is not a folder", relative};
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
    std::sort(entries->begin(), entries->end(),
              [](const Entry& a, const Entry& b) { return a.folder != b.folder ? a.folder : a.name < b.name; });
    return true;
}

std::string RootFolder::Relative(const fs::path& full) const { return full.lexically_relative(root_).generic_string(); }

}  // namespace orbalis::workbench
