#include "frame/FilePath.h"

#include "frame/HostSuites.h"

namespace ai {

using orbalis::sFilePath;

FilePath::FilePath() { Check(sFilePath->NewFilePath(&handle_)); }

FilePath::FilePath(const UnicodeString& path) : FilePath() { Check(sFilePath->SetFromString(handle_, path.handle())); }

FilePath::FilePath(const FilePath& other) : FilePath() { Check(sFilePath->CopyFilePath(handle_, other.handle_)); }

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

namespace ai {

FilePath FilePath::FromPlatform(std::string_view path) {
    FilePath result;
    Check(sFilePath->SetFromPlatformPath(result.handle_, path.data(), path.size()));
    return result;
}

std::string FilePath::platformPath() const {
    size_t length = 0;
    Check(sFilePath->GetPlatformPath(handle_, nullptr, 0, &length));
    std::string out(length + 1, '\0');
    Check(sFilePath->GetPlatformPath(handle_, out.data(), out.size(), &length));
    out.resize(length);
    return out;
}

UnicodeString FilePath::fileName(bool withExtension) const {
    UnicodeString out;
    Check(sFilePath->GetFileName(handle_, withExtension ? 1 : 0, out.handle()));
    return out;
}

FilePath FilePath::parent() const {
    FilePath out;
    Check(sFilePath->GetParent(handle_, out.handle_));
    return out;
}

bool FilePath::exists() const {
    HostBool exists = 0;
    Check(sFilePath->Exists(handle_, &exists, nullptr));
    return exists != 0;
}

bool FilePath::isFolder() const {
    HostBool exists = 0, folder = 0;
    Check(sFilePath->Exists(handle_, &exists, &folder));
    return folder != 0;
}

}  // namespace ai
