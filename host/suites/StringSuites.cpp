// Host Unicode strings and file paths.
#include <algorithm>
#include <cstring>

#include "host/suites/FilePathQueries.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"
#include "host/text/Encoding.h"

namespace orbalis::host {

std::string ToUtf8(const StringObject& s) { return utf16ToUtf8(s.units); }
void SetFromUtf8(StringObject& s, const std::string& utf8) { s.units = utf8ToUtf16(utf8); }

namespace {

// Copies `source` into a caller's buffer of `capacity` elements, always
// terminated; UTF-8 is never cut inside a character.
template <typename Char>
void CopyOut(const std::basic_string<Char>& source, Char* buffer, size_t capacity, bool utf8) {
    if (!buffer || capacity == 0) return;
    size_t n = std::min(source.size(), capacity - 1);
    if (utf8)
        while (n > 0 && n < source.size() && (static_cast<unsigned char>(source[n]) & 0xC0) == 0x80) --n;
    std::copy(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    buffer[n] = Char{};
}

HostErr NewString(HostString* out) { return NewHandle<StringObject>(out); }

HostErr DisposeString(HostString handle) { return DisposeHandle<StringObject>(handle); }

HostErr CopyString(StringObject& destination, StringObject& source) {
    destination.units = source.units;
    return 0;
}

HostErr SetUTF8(StringObject& s, const char* text, size_t length) {
    if (!text && length) return kHostBadParameterErr;
    s.units = utf8ToUtf16(std::string_view(text ? text : "", length));
    return 0;
}

HostErr GetUTF8(StringObject& s, char* buffer, size_t capacity, size_t* length) {
    const std::string utf8 = utf16ToUtf8(s.units);
    CopyOut(utf8, buffer, capacity, true);
    if (length) *length = utf8.size();
    return 0;
}

HostErr SetUTF16(StringObject& s, const uint16_t* units, size_t count) {
    if (!units && count) return kHostBadParameterErr;
    s.units.assign(reinterpret_cast<const char16_t*>(units), count);
    return 0;
}

HostErr GetUTF16(StringObject& s, uint16_t* buffer, size_t capacity, size_t* count) {
    CopyOut(s.units, reinterpret_cast<char16_t*>(buffer), capacity, false);
    if (count) *count = s.units.size();
    return 0;
}

HostErr SetEncoded(StringObject& s, const char* bytes, size_t length, int32_t encoding) {
    if (!bytes && length) return kHostBadParameterErr;
    return decodeText(encoding, std::string_view(bytes ? bytes : "", length), &s.units);
}

HostErr GetEncoded(StringObject& s, int32_t encoding, char* buffer, size_t capacity, size_t* length) {
    std::string bytes;
    if (HostErr err = encodeText(encoding, s.units, &bytes)) return err;
    CopyOut(bytes, buffer, capacity, encoding == kHostEncodingUTF8);
    if (length) *length = bytes.size();
    return 0;
}

HostErr Length(StringObject& s, size_t& count) {
    count = s.units.size();
    return 0;
}

HostErr CharAt(StringObject& s, size_t index, uint16_t& unit) {
    if (index >= s.units.size()) return kHostIndexErr;
    unit = s.units[index];
    return 0;
}

HostErr Compare(StringObject& a, StringObject& b, int32_t& order) {
    const int c = a.units.compare(b.units);
    order = c < 0 ? -1 : c > 0 ? 1 : 0;
    return 0;
}

HostErr Find(StringObject& s, StringObject& what, size_t start, size_t& position) {
    const size_t found = start > s.units.size() ? std::u16string::npos : s.units.find(what.units, start);
    position = found == std::u16string::npos ? kHostStringNoPosition : found;
    return 0;
}

HostErr Erase(StringObject& s, size_t position, size_t count) {
    if (position > s.units.size()) return kHostIndexErr;
    s.units.erase(position, count);
    return 0;
}

HostErr Insert(StringObject& s, size_t position, StringObject& what) {
    if (position > s.units.size()) return kHostIndexErr;
    const std::u16string inserted = what.units;  // `what` may be `s` itself
    s.units.insert(position, inserted);
    return 0;
}

HostErr Append(StringObject& s, StringObject& what) {
    const std::u16string appended = what.units;
    s.units += appended;
    return 0;
}

HostErr Substring(StringObject& s, size_t position, size_t count, StringObject& result) {
    if (position > s.units.size()) return kHostIndexErr;
    result.units = s.units.substr(position, count);
    return 0;
}

// ---- Character-counted operations. A stray surrogate counts as a character
// of its own.

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code-unit offset of character `index`, or units.size() for the end;
// npos when `index` lies past the end.
size_t UnitOffset(const std::u16string& units, size_t index) {
    size_t at = 0;
    for (size_t i = 0; i < index; ++i) {
        if (at >= units.size()) return std::u16string::npos;
        at += (IsHighSurrogate(units[at]) && at + 1 < units.size() && IsLowSurrogate(units[at + 1])) ? 2 : 1;
    }
    return at;
}

size_t CharactersIn(const std::u16string& units, size_t endOffset) {
    size_t count = 0;
    for (size_t at = 0; at < endOffset; ++count)
        at += (IsHighSurrogate(units[at]) && at + 1 < units.size() && IsLowSurrogate(units[at + 1])) ? 2 : 1;
    return count;
}

// The code units of `count` characters from character `position`, the count
// stopping at the end; false when `position` lies past the end.
bool CharacterRange(const std::u16string& units, size_t position, size_t count, size_t* from, size_t* to) {
    *from = UnitOffset(units, position);
    if (*from == std::u16string::npos) return false;
    const size_t chars = CharactersIn(units, units.size());
    *to = count >= chars - position ? units.size() : UnitOffset(units, position + count);
    return true;
}

HostErr CountCharacters(StringObject& s, size_t& count) {
    count = CharactersIn(s.units, s.units.size());
    return 0;
}

HostErr GetCharacter(StringObject& s, size_t index, uint32_t& character) {
    const size_t at = UnitOffset(s.units, index);
    if (at == std::u16string::npos || at >= s.units.size()) return kHostIndexErr;
    const char16_t unit = s.units[at];
    if (IsHighSurrogate(unit) && at + 1 < s.units.size() && IsLowSurrogate(s.units[at + 1]))
        character = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                    (static_cast<uint32_t>(s.units[at + 1]) - 0xDC00);
    else
        character = unit;
    return 0;
}

HostErr FindCharacters(StringObject& s, StringObject& what, size_t start, size_t& position) {
    position = kHostStringNoPosition;
    const size_t from = UnitOffset(s.units, start);
    if (from == std::u16string::npos) return 0;
    // Only matches that start on a character boundary count: one starting on
    // the second half of a surrogate pair is not a character of the string.
    for (size_t at = s.units.find(what.units, from); at != std::u16string::npos;
         at = s.units.find(what.units, at + 1)) {
        if (at > 0 && IsLowSurrogate(s.units[at]) && IsHighSurrogate(s.units[at - 1])) continue;
        position = CharactersIn(s.units, at);
        return 0;
    }
    return 0;
}

HostErr EraseCharacters(StringObject& s, size_t position, size_t count) {
    size_t from = 0, to = 0;
    if (!CharacterRange(s.units, position, count, &from, &to)) return kHostIndexErr;
    s.units.erase(from, to - from);
    return 0;
}

HostErr SubstringCharacters(StringObject& s, size_t position, size_t count, StringObject& result) {
    size_t from = 0, to = 0;
    if (!CharacterRange(s.units, position, count, &from, &to)) return kHostIndexErr;
    result.units = s.units.substr(from, to - from);
    return 0;
}

HostErr NewFilePath(HostFilePath* out) { return NewHandle<FilePathObject>(out); }

HostErr DisposeFilePath(HostFilePath handle) { return DisposeHandle<FilePathObject>(handle); }

HostErr CopyFilePath(FilePathObject& destination, FilePathObject& source) {
    destination.path = source.path;
    return 0;
}

HostErr SetFromString(FilePathObject& p, StringObject& text) {
    p.path = ToUtf8(text);
    return 0;
}

HostErr GetAsString(FilePathObject& p, StringObject& text) {
    SetFromUtf8(text, p.path);
    return 0;
}

// A path the system code page cannot express cannot be opened through it.
HostErr GetPlatformPath(FilePathObject& p, char* buffer, size_t capacity, size_t* length) {
    std::string bytes;
    bool replaced = false;
    if (HostErr err = encodeText(kHostEncodingPlatform, utf8ToUtf16(p.path), &bytes, &replaced)) return err;
    if (replaced) return kHostEncodingErr;
    CopyOut(bytes, buffer, capacity, false);
    if (length) *length = bytes.size();
    return 0;
}

}  // namespace

const HostUnicodeStringSuite& UnicodeStringSuite() {
    return SuiteTable<HostUnicodeStringSuite, NewString, DisposeString, CopyString, SetUTF8, GetUTF8, SetUTF16,
                      GetUTF16, SetEncoded, GetEncoded, Length, CharAt, Compare, Find, Erase, Insert, Append, Substring,
                      CountCharacters, GetCharacter, FindCharacters, EraseCharacters, SubstringCharacters>;
}

const HostFilePathSuite& FilePathSuite() {
    return SuiteTable<HostFilePathSuite, NewFilePath, DisposeFilePath, CopyFilePath, SetFromString, GetAsString,
                      GetPlatformPath, SetFromPlatformPath, GetFileName, GetParent, Exists>;
}

}  // namespace orbalis::host
