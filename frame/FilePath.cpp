#include "frame/FilePath.h"

#include "frame/HostSuites.h"

namespace ai {

using orbalis::sFilePath;

FilePath::FilePath() { Check(sFilePath->NewFilePath(&handle_)); }

FilePath::FilePath(const UnicodeString& path) : FilePath() {
    Check(sFilePath->SetFromString(handle_, path.handle()));
}

FilePath::FilePath(const FilePath& other) : FilePath() {
    Check(sFilePath->CopyFilePath(handle_, other.handle_));
}

FilePath& FilePath::operator=(const FilePath& other) {
    if (this != &other) Check(sFilePath->CopyFilePath(handle_, other.handle_));
    return *this;
}

FilePath::~FilePath() {
    if (handle_ && sFilePath) sFilePath->DisposeFilePath(handle_);
}

UnicodeString FilePath::text() const {
    UnicodeString out;
    Check(sFilePath->GetAsString(handle_, out.handle()));
    return out;
}

}  // namespace ai
