// The plug-in's own files, opened by host file path: CNdFile hands out the
// open stream for raw writing, CNdTextFile delivers a text file line by line
// as host strings, and CNdAtomicFile writes a file that replaces the old one
// only once every byte of it is on disk.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>

#include "frame/FilePath.h"
#include "frame/UnicodeString.h"
#include "layers/TextEncoding.h"

namespace orbalis {

class CNdTextFileReaderBase;

class CNdFile {
public:
    explicit CNdFile(bool closeOnDestroy);
    virtual ~CNdFile();
    CNdFile(const CNdFile&) = delete;
    CNdFile& operator=(const CNdFile&) = delete;

    // Closes the stream, if one is open, and forgets it; safe to call twice.
    virtual void Close();

    // Opens the file at the full path in the system's multibyte code page as
    // a buffered stream in `mode` ("wb", "rb", ...). A path that the code
    // page cannot express cannot be opened.
    bool Open(const ai::FilePath& path, const char* mode);
    std::FILE* GetHandle() const { return stream; }
    // The path of the latest Open; none before it.
    const ai::FilePath* GetPath() const { return path ? &*path : nullptr; }

protected:
    // The stream on the platform path `platformPath`, remembering `path`.
    bool OpenPlatform(const ai::FilePath& path, const std::string& platformPath, const char* mode);

    std::optional<ai::FilePath> path;
    bool closeOnDestroy;
    std::FILE* stream = nullptr;
};

class CNdTextFile : public CNdFile {
public:
    CNdTextFile();
    ~CNdTextFile() override;

    // Opens the file for reading without text translation and makes the line
    // reader for `encoding`: UTF-16 for Utf16, 8-bit bytes in that encoding
    // for any other value. Without a stream there is no reader.
    virtual bool Open(const ai::FilePath& path, TextEncoding encoding);

    // Empties `line`, then delivers the next line: false at the end of the
    // file with nothing left to deliver.
    bool ReadLine(ai::UnicodeString& line);

    TextEncoding GetEncoding() const { return encoding; }

private:
    TextEncoding encoding = ShiftJis;
    std::unique_ptr<CNdTextFileReaderBase> reader;
};

// Writes into a new file beside the target. Commit puts it in place of the
// target only when every byte was written and the file closed cleanly; in
// any other case, and when the object goes without a commit, the new file is
// removed and whatever was at the target stays as it was.
class CNdAtomicFile : public CNdFile {
public:
    CNdAtomicFile();
    ~CNdAtomicFile() override;

    // Opens the new file for binary writing.
    bool Open(const ai::FilePath& target);
    // Puts the new file on the disk, closes it and moves it over the target,
    // replacing the file there in one step.
    bool Commit();
    // Abandons the new file.
    void Close() override;

private:
    void Abandon();

    std::string targetPath;     // in the system's multibyte code page
    std::string temporaryPath;  // empty when there is no new file
};

}  // namespace orbalis
