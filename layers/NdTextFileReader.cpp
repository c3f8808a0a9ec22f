#include "layers/NdTextFileReader.h"

#include <string>

#include "frame/HostSuites.h"

namespace orbalis {
namespace {

constexpr int kCR = 0x0D;
constexpr int kLF = 0x0A;

void Clear(ai::UnicodeString& line) { ai::Check(sUnicodeString->SetUTF16(line.handle(), nullptr, 0)); }

}  // namespace

bool CNdTextFileReaderA::ReadLine(ai::UnicodeString& line) {
    Clear(line);
    if (atStart) {
        atStart = false;
        unsigned char mark[3] = {};
        const bool marked =
            std::fread(mark, 1, 3, stream) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF;
        if (!marked) std::fseek(stream, 0, SEEK_SET);
    }
    std::string bytes;
    for (;;) {
        const int c = std::fgetc(stream);
        if (c == EOF || c == kLF) break;
        if (c == kCR) {
            const int next = std::fgetc(stream);
            if (next != kLF && next != EOF) std::ungetc(next, stream);
            break;
        }
        bytes += static_cast<char>(c);
    }
    if (!bytes.empty()) {
        ai::Check(sUnicodeString->SetEncoded(line.handle(), bytes.data(), bytes.size(), encoding));
        return true;
    }
    return !AtEnd();
}

bool CNdTextFileReaderW::ReadUnit(char16_t& unit) {
    unsigned char bytes[2];
    if (std::fread(bytes, 1, 2, stream) != 2) return false;
    unit =
        swapBytes ? static_cast<char16_t>(bytes[0] << 8 | bytes[1]) : static_cast<char16_t>(bytes[1] << 8 | bytes[0]);
    return true;
}

bool CNdTextFileReaderW::ReadLine(ai::UnicodeString& line) {
    Clear(line);
    std::u16string units;
    char16_t unit = 0;
    while (ReadUnit(unit)) {
        if (atStart) {
            atStart = false;
            if (unit == 0xFEFF) continue;
            if (unit == 0xFFFE) {
                swapBytes = true;
                continue;
            }
        }
        if (unit == kLF) break;
        if (unit == kCR) {
            char16_t next = 0;
            if (ReadUnit(next) && next != kLF) std::fseek(stream, -2, SEEK_CUR);
            break;
        }
        units += unit;
    }
    if (!units.empty()) {
        ai::Check(
            sUnicodeString->SetUTF16(line.handle(), reinterpret_cast<const uint16_t*>(units.data()), units.size()));
        return true;
    }
    return !AtEnd();
}

}  // namespace orbalis
