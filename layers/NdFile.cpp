#include "layers/NdFile.h"

#include <string>

#include "layers/NdTextFileReader.h"
#include "sdk/platform/Files.h"

namespace orbalis {

CNdFile::CNdFile(bool closeOnDestroy) : closeOnDestroy(closeOnDestroy) {}

CNdFile::~CNdFile() {
    if (closeOnDestroy) CNdFile::Close();
}

void CNdFile::Close() {
    if (stream) std::fclose(stream);
    stream = nullptr;
}

bool CNdFile::Open(const ai::FilePath& filePath, const char* mode) {
    std::string platformPath;
    try {
        platformPath = filePath.platformPath();
    } catch (const ai::Error&) {
        return false;
    }
    return OpenPlatform(filePath, platformPath, mode);
}

bool CNdFile::OpenPlatform(const ai::FilePath& filePath, const std::string& platformPath, const char* mode) {
    CNdFile::Close();
    path = filePath;
    if (platformPath.empty()) return false;
    stream = std::fopen(platformPath.c_str(), mode);
    return stream != nullptr;
}

CNdTextFile::CNdTextFile() : CNdFile(true) {}

CNdTextFile::~CNdTextFile() {
    reader.reset();
    Close();
}

bool CNdTextFile::Open(const ai::FilePath& filePath, TextEncoding textEncoding) {
    reader.reset();
    encoding = textEncoding;
    if (!CNdFile::Open(filePath, "rb")) return false;
    if (encoding == Utf16)
        reader = std::make_unique<CNdTextFileReaderW>(stream, encoding);
    else
        reader = std::make_unique<CNdTextFileReaderA>(stream, encoding);
    return true;
}

bool CNdTextFile::ReadLine(ai::UnicodeString& line) {
    if (reader) return reader->ReadLine(line);
    line = ai::UnicodeString();
    return false;
}

CNdAtomicFile::CNdAtomicFile() : CNdFile(true) {}

CNdAtomicFile::~CNdAtomicFile() { Abandon(); }

bool CNdAtomicFile::Open(const ai::FilePath& target) {
    Abandon();
    try {
        targetPath = target.platformPath();
    } catch (const ai::Error&) {
        return false;
    }
    const size_t slash = targetPath.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : targetPath.substr(0, slash + 1);
    const std::string name = targetPath.substr(folder.size());
    if (name.empty()) return false;
    // A name of its own, so that nothing already there is written over.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + "." + name + "." + std::to_string(attempt) + ".tmp";
        bool taken = false;
        if (std::FILE* created = platform::CreateNewFile(candidate, &taken)) {
            CNdFile::Close();
            path = target;
            stream = created;
            temporaryPath = candidate;
            return true;
        }
        if (!taken) return false;  // the folder cannot take the file at all
    }
    return false;
}

bool CNdAtomicFile::Commit() {
    if (!stream || temporaryPath.empty()) return false;
    bool written = !std::ferror(stream) && platform::SyncToDisk(stream);
    written = std::fclose(stream) == 0 && written;
    stream = nullptr;
    if (!written || !platform::MoveOver(temporaryPath, targetPath)) {
        Abandon();
        return false;
    }
    temporaryPath.clear();
    return true;
}

void CNdAtomicFile::Close() { Abandon(); }

void CNdAtomicFile::Abandon() {
    CNdFile::Close();
    if (!temporaryPath.empty()) platform::RemoveFile(temporaryPath);
    temporaryPath.clear();
}

}  // namespace orbalis
