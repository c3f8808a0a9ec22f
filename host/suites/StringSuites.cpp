// Host Unicode strings and file paths.
#include <algorithm>
#include <cstring>

#include "host/suites/FilePathQueries.h"
#include "host/suites/SuiteSupport.h"
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
        while (n > 0 && n < source.size() && (static_cast<unsigned char>(source[n]) & 0xC0) == 0x80)
            --n;
    std::copy(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    buffer[n] = Char{};
}

HostErr NewString(HostString* out) {
    HOST_OPERATION("NewString");
    return NewHandle<StringObject>(out);
}

HostErr DisposeString(HostString handle) {
    HOST_OPERATION("DisposeString");
    return DisposeHandle<StringObject>(handle);
}

HostErr CopyString(HostString destination, HostString source) {
    HOST_OPERATION("CopyString");
    StringObject *d = StringOf(destination), *s = StringOf(source);
    if (!d || !s) return kHostBadParameterErr;
    d->units = s->units;
    return 0;
}

HostErr SetUTF8(HostString handle, const char* text, size_t length) {
    HOST_OPERATION("SetUTF8");
    StringObject* s = StringOf(handle);
    if (!s || (!text && length)) return kHostBadParameterErr;
    s->units = utf8ToUtf16(std::string_view(text ? text : "", length));
    return 0;
}

HostErr GetUTF8(HostString handle, char* buffer, size_t capacity, size_t* length) {
    HOST_OPERATION("GetUTF8");
    StringObject* s = StringOf(handle);
    if (!s) return kHostBadParameterErr;
    const std::string utf8 = utf16ToUtf8(s->units);
    CopyOut(utf8, buffer, capacity, true);
    if (length) *length = utf8.size();
    return 0;
}

HostErr SetUTF16(HostString handle, const uint16_t* units, size_t count) {
    HOST_OPERATION("SetUTF16");
    StringObject* s = StringOf(handle);
    if (!s || (!units && count)) return kHostBadParameterErr;
    s->units.assign(reinterpret_cast<const char16_t*>(units), count);
    return 0;
}

HostErr GetUTF16(HostString handle, uint16_t* buffer, size_t capacity, size_t* count) {
    HOST_OPERATION("GetUTF16");
    StringObject* s = StringOf(handle);
    if (!s) return kHostBadParameterErr;
    CopyOut(s->units, reinterpret_cast<char16_t*>(buffer), capacity, false);
    if (count) *count = s->units.size();
    return 0;
}

HostErr SetEncoded(HostString handle, const char* bytes, size_t length, int32_t encoding) {
    HOST_OPERATION("SetEncoded");
    StringObject* s = StringOf(handle);
    if (!s || (!bytes && length)) return kHostBadParameterErr;
    return decodeText(encoding, std::string_view(bytes ? bytes : "", length), &s->units);
}

HostErr GetEncoded(HostString handle, int32_t encoding, char* buffer, size_t capacity,
                   size_t* length) {
    HOST_OPERATION("GetEncoded");
    StringObject* s = StringOf(handle);
    if (!s) return kHostBadParameterErr;
    std::string bytes;
    if (HostErr err = encodeText(encoding, s->units, &bytes)) return err;
    CopyOut(bytes, buffer, capacity, encoding == kHostEncodingUTF8);
    if (length) *length = bytes.size();
    return 0;
}

HostErr Length(HostString handle, size_t* count) {
    HOST_OPERATION("Length");
    StringObject* s = StringOf(handle);
    if (!s || !count) return kHostBadParameterErr;
    *count = s->units.size();
    return 0;
}

HostErr CharAt(HostString handle, size_t index, uint16_t* unit) {
    HOST_OPERATION("CharAt");
    StringObject* s = StringOf(handle);
    if (!s || !unit) return kHostBadParameterErr;
    if (index >= s->units.size()) return kHostIndexErr;
    *unit = s->units[index];
    return 0;
}

HostErr Compare(HostString a, HostString b, int32_t* order) {
    HOST_OPERATION("Compare");
    StringObject *x = StringOf(a), *y = StringOf(b);
    if (!x || !y || !order) return kHostBadParameterErr;
    const int c = x->units.compare(y->units);
    *order = c < 0 ? -1 : c > 0 ? 1 : 0;
    return 0;
}

HostErr Find(HostString handle, HostString what, size_t start, size_t* position) {
    HOST_OPERATION("Find");
    StringObject *s = StringOf(handle), *w = StringOf(what);
    if (!s || !w || !position) return kHostBadParameterErr;
    const size_t found = start > s->units.size() ? std::u16string::npos : s->units.find(w->units, start);
    *position = found == std::u16string::npos ? kHostStringNoPosition : found;
    return 0;
}

HostErr Erase(HostString handle, size_t position, size_t count) {
    HOST_OPERATION("Erase");
    StringObject* s = StringOf(handle);
    if (!s) return kHostBadParameterErr;
    if (position > s->units.size()) return kHostIndexErr;
    s->units.erase(position, count);
    return 0;
}

HostErr Insert(HostString handle, size_t position, HostString what) {
    HOST_OPERATION("Insert");
    StringObject *s = StringOf(handle), *w = StringOf(what);
    if (!s || !w) return kHostBadParameterErr;
    if (position > s->units.size()) return kHostIndexErr;
    const std::u16string inserted = w->units;  // `what` may be `handle` itself
    s->units.insert(position, inserted);
    return 0;
}

HostErr Append(HostString handle, HostString what) {
    HOST_OPERATION("Append");
    StringObject *s = StringOf(handle), *w = StringOf(what);
    if (!s || !w) return kHostBadParameterErr;
    const std::u16string appended = w->units;
    s->units += appended;
    return 0;
}

HostErr Substring(HostString handle, size_t position, size_t count, HostString result) {
    HOST_OPERATION("Substring");
    StringObject *s = StringOf(handle), *r = StringOf(result);
    if (!s || !r) return kHostBadParameterErr;
    if (position > s->units.size()) return kHostIndexErr;
    r->units = s->units.substr(position, count);
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

HostErr CountCharacters(HostString handle, size_t* count) {
    HOST_OPERATION("CountCharacters");
    StringObject* s = StringOf(handle);
    if (!s || !count) return kHostBadParameterErr;
    *count = CharactersIn(s->units, s->units.size());
    return 0;
}

HostErr GetCharacter(HostString handle, size_t index, uint32_t* character) {
    HOST_OPERATION("GetCharacter");
    StringObject* s = StringOf(handle);
    if (!s || !character) return kHostBadParameterErr;
    const size_t at = UnitOffset(s->units, index);
    if (at == std::u16string::npos || at >= s->units.size()) return kHostIndexErr;
    const char16_t unit = s->units[at];
    if (IsHighSurrogate(unit) && at + 1 < s->units.size() && IsLowSurrogate(s->units[at + 1]))
        *character = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                     (static_cast<uint32_t>(s->units[at + 1]) - 0xDC00);
    else
        *character = unit;
    return 0;
}

HostErr FindCharacters(HostString handle, HostString what, size_t start, size_t* position) {
    HOST_OPERATION("FindCharacters");
    StringObject *s = StringOf(handle), *w = StringOf(what);
    if (!s || !w || !position) return kHostBadParameterErr;
    *position = kHostStringNoPosition;
    const size_t from = UnitOffset(s->units, start);
    if (from == std::u16string::npos) return 0;
    // Only matches that start on a character boundary count: one starting on
    // the second half of a surrogate pair is not a character of the string.
    for (size_t at = s->units.find(w->units, from); at != std::u16string::npos;
         at = s->units.find(w->units, at + 1)) {
        if (at > 0 && IsLowSurrogate(s->units[at]) && IsHighSurrogate(s->units[at - 1])) continue;
        *position = CharactersIn(s->units, at);
        return 0;
    }
    return 0;
}

HostErr EraseCharacters(HostString handle, size_t position, size_t count) {
    HOST_OPERATION("EraseCharacters");
    StringObject* s = StringOf(handle);
    if (!s) return kHostBadParameterErr;
    size_t from = 0, to = 0;
    if (!CharacterRange(s->units, position, count, &from, &to)) return kHostIndexErr;
    s->units.erase(from, to - from);
    return 0;
}

HostErr SubstringCharacters(HostString handle, size_t position, size_t count, HostString result) {
    HOST_OPERATION("SubstringCharacters");
    StringObject *s = StringOf(handle), *r = StringOf(result);
    if (!s || !r) return kHostBadParameterErr;
    size_t from = 0, to = 0;
    if (!CharacterRange(s->units, position, count, &from, &to)) return kHostIndexErr;
    r->units = s->units.substr(from, to - from);
    return 0;
}

HostErr NewFilePath(HostFilePath* out) {
    HOST_OPERATION("NewFilePath");
    return NewHandle<FilePathObject>(out);
}

HostErr DisposeFilePath(HostFilePath handle) {
    HOST_OPERATION("DisposeFilePath");
    return DisposeHandle<FilePathObject>(handle);
}

HostErr CopyFilePath(HostFilePath destination, HostFilePath source) {
    HOST_OPERATION("CopyFilePath");
    FilePathObject *d = FilePathOf(destination), *s = FilePathOf(source);
    if (!d || !s) return kHostBadParameterErr;
    d->path = s->path;
    return 0;
}

HostErr SetFromString(HostFilePath handle, HostString text) {
    HOST_OPERATION("SetFromString");
    FilePathObject* p = FilePathOf(handle);
    StringObject* s = StringOf(text);
    if (!p || !s) return kHostBadParameterErr;
    p->path = ToUtf8(*s);
    return 0;
}

HostErr GetAsString(HostFilePath handle, HostString text) {
    HOST_OPERATION("GetAsString");
    FilePathObject* p = FilePathOf(handle);
    StringObject* s = StringOf(text);
    if (!p || !s) return kHostBadParameterErr;
    SetFromUtf8(*s, p->path);
    return 0;
}

// A path the system code page cannot express cannot be opened through it.
HostErr GetPlatformPath(HostFilePath handle, char* buffer, size_t capacity, size_t* length) {
    HOST_OPERATION("GetPlatformPath");
    FilePathObject* p = FilePathOf(handle);
    if (!p) return kHostBadParameterErr;
    std::string bytes;
    bool replaced = false;
    if (HostErr err = encodeText(kHostEncodingPlatform, utf8ToUtf16(p->path), &bytes, &replaced))
        return err;
    if (replaced) return kHostEncodingErr;
    CopyOut(bytes, buffer, capacity, false);
    if (length) *length = bytes.size();
    return 0;
}

}  // namespace

const HostUnicodeStringSuite& UnicodeStringSuite() {
    static const HostUnicodeStringSuite suite{
        NewString, DisposeString, CopyString, SetUTF8,  GetUTF8,   SetUTF16,
        GetUTF16,  SetEncoded,    GetEncoded, Length,   CharAt,    Compare,
        Find,      Erase,         Insert,     Append,   Substring,
        CountCharacters, GetCharacter, FindCharacters, EraseCharacters, SubstringCharacters};
    return suite;
}

const HostFilePathSuite& FilePathSuite() {
    static const HostFilePathSuite suite{NewFilePath,   DisposeFilePath, CopyFilePath,
                                         SetFromString, GetAsString,     GetPlatformPath,
                                         SetFromPlatformPath, GetFileName, GetParent, Exists};
    return suite;
}

}  // namespace orbalis::host
