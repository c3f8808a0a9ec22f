// ai::FilePath: owns one host file path object.
#pragma once

#include <string>
#include <string_view>

#include "frame/UnicodeString.h"
#include "sdk/suites/StringSuites.h"

namespace ai {

class FilePath {
public:
    FilePath();
    explicit FilePath(const UnicodeString& path);
    FilePath(const FilePath& other);
    FilePath& operator=(const FilePath& other);
    ~FilePath();

    // A path given in the system's multibyte code page.
    static FilePath FromPlatform(std::string_view path);

    HostFilePath handle() const { return handle_; }
    UnicodeString text() const;
    // The full path in the system's multibyte code page; throws when the
    // code page cannot express it.
    std::string platformPath() const;
    UnicodeString fileName(bool withExtension) const;
    FilePath parent() const;
    bool exists() const;
    bool isFolder() const;

private:
    HostFilePath handle_ = nullptr;
};

}  // namespace ai
