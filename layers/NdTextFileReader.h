// Line readers of CNdTextFile. They borrow the file's stream and never close
// it. A line ends at CR, LF or CR LF; the line end is not part of the line.
#pragma once

#include <cstdio>

#include "frame/UnicodeString.h"
#include "layers/TextEncoding.h"

namespace orbalis {

class CNdTextFileReaderBase {
public:
    CNdTextFileReaderBase(std::FILE* stream, TextEncoding encoding) : stream(stream), encoding(encoding) {}
    virtual ~CNdTextFileReaderBase() = default;
    CNdTextFileReaderBase(const CNdTextFileReaderBase&) = delete;
    CNdTextFileReaderBase& operator=(const CNdTextFileReaderBase&) = delete;

    // Empties `line`, then delivers the next line: true for a line (an empty
    // one included), false at the end of the file with nothing left.
    virtual bool ReadLine(ai::UnicodeString& line) = 0;

protected:
    // The end of the file, or a read error, which counts as the end.
    bool AtEnd() const { return std::feof(stream) || std::ferror(stream); }

    bool atStart = true;
    std::FILE* stream;
    TextEncoding encoding;
};

// Bytes of an 8-bit encoding, decoded by the host in the file's encoding. A
// UTF-8 byte-order mark at the start is skipped whatever the encoding.
class CNdTextFileReaderA : public CNdTextFileReaderBase {
public:
    using CNdTextFileReaderBase::CNdTextFileReaderBase;
    bool ReadLine(ai::UnicodeString& line) override;
};

// UTF-16 code units. The first unit of the file settles the byte order: the
// mark FF FE (little-endian) or FE FF (big-endian) is dropped; any other unit
// means little-endian and is read as text. A single byte left at the end is
// ignored; surrogates pass through as they are.
class CNdTextFileReaderW : public CNdTextFileReaderBase {
public:
    using CNdTextFileReaderBase::CNdTextFileReaderBase;
    bool ReadLine(ai::UnicodeString& line) override;

private:
    bool ReadUnit(char16_t& unit);

    bool swapBytes = false;
};

}  // namespace orbalis
