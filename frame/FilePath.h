// ai::FilePath: owns one host file path object.
#pragma once

#include <string>

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

    HostFilePath handle() const { return handle_; }
    UnicodeString text() const;

private:
    HostFilePath handle_ = nullptr;
};

}  // namespace ai
