// Replacing a file's contents so that a reader, or a crash, sees either the
// old contents or the new, never a part of either.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace orbalis::host {

// Writes `text` to a new file beside `target` and renames it over `target`,
// flushing both to the disk. The new file is created exclusively (never
// through a link or file someone placed under its name); an existing target's
// permissions are kept, a new one gets `newFileMode` less the umask. `target`
// must already be the file meant: a symbolic link there is replaced, not
// followed. Returns 0, or the errno of the step that failed, with nothing
// left behind and `target` as it was.
int ReplaceFile(const std::string& target, std::string_view text, mode_t newFileMode);

// The file that writing to `path` is meant for: `path` itself, or where the
// symbolic links there lead, so that a link stays a link and the file it
// names gets the contents (a dangling link leads to the file to be made).
// Returns 0, or the errno of a link that cannot be read (ELOOP for links
// that lead round in a circle).
int FollowLinks(const std::string& path, std::string* followed);

}  // namespace orbalis::host
