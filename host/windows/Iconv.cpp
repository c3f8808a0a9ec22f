// iconv over the Windows code page functions, one character at a time, with
// iconv's contract: the pointers stop before an invalid sequence (EILSEQ, a
// character the target lacks counts too), a sequence cut short at the end
// of the input (EINVAL), or a character the output has no room for (E2BIG).
#include "host/windows/iconv/iconv.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/windows/SystemCalls.h"

struct orbalis_iconv {
    enum Kind { Utf8, Utf16Le, Utf16Be, Utf16, Utf32Le, Utf32Be, Utf32, CodePage };
    Kind from, to;
    UINT fromPage = 0, toPage = 0;
    bool bigEndianInput = true;  // UTF-16/UTF-32 without a byte order mark
    bool bomRead = false;
};

namespace {

std::string Upper(const char* name) {
    std::string s = name ? name : "";
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool Parse(const char* name, orbalis_iconv::Kind* kind, UINT* page) {
    const std::string n = Upper(name);
    using K = orbalis_iconv;
    if (n == "UTF-8" || n == "UTF8")
        *kind = K::Utf8;
    else if (n == "UTF-16LE")
        *kind = K::Utf16Le;
    else if (n == "UTF-16BE")
        *kind = K::Utf16Be;
    else if (n == "UTF-16")
        *kind = K::Utf16;
    else if (n == "UTF-32LE")
        *kind = K::Utf32Le;
    else if (n == "UTF-32BE")
        *kind = K::Utf32Be;
    else if (n == "UTF-32")
        *kind = K::Utf32;
    else {
        *kind = K::CodePage;
        struct Named {
            const char* name;
            UINT page;
        };
        static const Named kPages[] = {
            {"CP932", 932},         {"SHIFT_JIS", 932},     {"SHIFT-JIS", 932},     {"SJIS", 932},
            {"WINDOWS-31J", 932},   {"EUC-JP", 20932},      {"ISO-2022-JP", 50220}, {"US-ASCII", 20127},
            {"ASCII", 20127},       {"ISO-8859-1", 28591},  {"LATIN1", 28591},      {"ISO-8859-2", 28592},
            {"ISO-8859-5", 28595},  {"ISO-8859-7", 28597},  {"ISO-8859-15", 28605}, {"KOI8-R", 20866},
            {"GBK", 936},           {"GB2312", 936},        {"BIG5", 950},          {"EUC-KR", 949},
            {"WINDOWS-1250", 1250}, {"WINDOWS-1251", 1251}, {"WINDOWS-1252", 1252}, {"WINDOWS-1253", 1253},
            {"CP1252", 1252},
        };
        for (const Named& p : kPages)
            if (n == p.name) *page = p.page;
        if (!*page && n.rfind("CP", 0) == 0 && n.size() > 2 &&
            n.find_first_not_of("0123456789", 2) == std::string::npos)
            *page = static_cast<UINT>(std::stoul(n.substr(2)));
        if (!*page) return false;
    }
    return true;
}

constexpr uint32_t kCut = 0xFFFFFFFE, kBad = 0xFFFFFFFF;

// One character from the input: its code point, kCut or kBad; `used` bytes.
uint32_t Decode(orbalis_iconv& c, const unsigned char* p, size_t left, size_t* used) {
    using K = orbalis_iconv;
    switch (c.from) {
    case K::Utf8: {
        const unsigned char b = p[0];
        size_t n = b < 0x80                   ? 1
                   : (b >= 0xC2 && b <= 0xDF) ? 2
                   : (b >= 0xE0 && b <= 0xEF) ? 3
                   : (b >= 0xF0 && b <= 0xF4) ? 4
                                              : 0;
        if (!n) return kBad;
        uint32_t cp = n == 1 ? b : b & (0xFF >> (n + 1));
        for (size_t i = 1; i < n; ++i) {
            if (i >= left) return kCut;
            if ((p[i] & 0xC0) != 0x80) return kBad;
            cp = cp << 6 | (p[i] & 0x3F);
        }
        if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return kBad;
        *used = n;
        return cp;
    }
    case K::Utf16:
    case K::Utf16Le:
    case K::Utf16Be: {
        if (c.from == K::Utf16 && !c.bomRead && left >= 2) {
            c.bomRead = true;
            if ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)) {
                c.bigEndianInput = p[0] == 0xFE;
                *used = 2;
                return 0xFEFF0000u;  // a mark, not a character
            }
        }
        const bool big = c.from == K::Utf16Be || (c.from == K::Utf16 && c.bigEndianInput);
        auto unit = [&](size_t i) { return big ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]); };
        if (left < 2) return kCut;
        const uint32_t u = static_cast<uint32_t>(unit(0));
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (left < 4) return kCut;
            const uint32_t v = static_cast<uint32_t>(unit(2));
            if (v < 0xDC00 || v > 0xDFFF) return kBad;
            *used = 4;
            return 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
        }
        if (u >= 0xDC00 && u <= 0xDFFF) return kBad;
        *used = 2;
        return u;
    }
    case K::Utf32:
    case K::Utf32Le:
    case K::Utf32Be: {
        if (left < 4) return kCut;
        if (c.from == K::Utf32 && !c.bomRead) {
            c.bomRead = true;
            if (p[0] == 0xFF && p[1] == 0xFE && !p[2] && !p[3]) {
                c.bigEndianInput = false;
                *used = 4;
                return 0xFEFF0000u;
            }
            if (!p[0] && !p[1] && p[2] == 0xFE && p[3] == 0xFF) {
                *used = 4;
                return 0xFEFF0000u;
            }
        }
        const bool big = c.from == K::Utf32Be || (c.from == K::Utf32 && c.bigEndianInput);
        const uint32_t cp = big ? (uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3])
                                : (uint32_t{p[3]} << 24 | p[2] << 16 | p[1] << 8 | p[0]);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kBad;
        *used = 4;
        return cp;
    }
    case K::CodePage: {
        size_t n = IsDBCSLeadByteEx(c.fromPage, p[0]) ? 2 : 1;
        if (n > left) return kCut;
        // Bytes that code page 932 leaves undefined, which Windows maps to
        // private characters, are invalid here as everywhere else.
        if (c.fromPage == 932 && n == 1 && (p[0] == 0x80 || p[0] == 0xA0 || p[0] >= 0xFD)) return kBad;
        char16_t wide[2];
        const int units = MultiByteToWideChar(c.fromPage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                                              static_cast<int>(n), wide, 2);
        if (units <= 0) return kBad;
        *used = n;
        if (units == 2) return 0x10000 + ((wide[0] - 0xD800u) << 10) + (wide[1] - 0xDC00u);
        return wide[0];
    }
    }
    return kBad;
}

// Writes the character; false when the target lacks it. `bytes` is 0 when
// the room runs out.
bool Encode(const orbalis_iconv& c, uint32_t cp, unsigned char* out, size_t room, size_t* bytes) {
    using K = orbalis_iconv;
    unsigned char buffer[8];
    size_t n = 0;
    switch (c.to) {
    case K::Utf8:
        if (cp < 0x80)
            buffer[n++] = static_cast<unsigned char>(cp);
        else if (cp < 0x800) {
            buffer[n++] = static_cast<unsigned char>(0xC0 | cp >> 6);
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            buffer[n++] = static_cast<unsigned char>(0xE0 | cp >> 12);
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        } else {
            buffer[n++] = static_cast<unsigned char>(0xF0 | cp >> 18);
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
            buffer[n++] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        }
        break;
    case K::Utf16:
    case K::Utf16Le:
    case K::Utf16Be: {
        const bool big = c.to != K::Utf16Le;
        auto put = [&](uint32_t u) {
            buffer[n++] = static_cast<unsigned char>(big ? u >> 8 : u & 0xFF);
            buffer[n++] = static_cast<unsigned char>(big ? u & 0xFF : u >> 8);
        };
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else
            put(cp);
        break;
    }
    case K::Utf32:
    case K::Utf32Le:
    case K::Utf32Be:
        for (int i = 0; i < 4; ++i)
            buffer[n++] = static_cast<unsigned char>(c.to == K::Utf32Le ? cp >> (8 * i) : cp >> (8 * (3 - i)));
        break;
    case K::CodePage: {
        // The look-alikes Windows' best fit writes as its own characters.
        if (c.toPage == 932) {
            const uint16_t fit = cp == 0xA5     ? 0x5C
                                 : cp == 0x203E ? 0x7E
                                 : cp == 0x301C ? 0x8160
                                 : cp == 0x2212 ? 0x817C
                                                : 0;
            if (fit) {
                if (fit > 0xFF) buffer[n++] = static_cast<unsigned char>(fit >> 8);
                buffer[n++] = static_cast<unsigned char>(fit & 0xFF);
                break;
            }
        }
        char16_t wide[2];
        int units = 1;
        if (cp >= 0x10000) {
            wide[0] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide[1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            units = 2;
        } else
            wide[0] = static_cast<char16_t>(cp);
        BOOL lacked = FALSE;
        const int got = WideCharToMultiByte(c.toPage, WC_NO_BEST_FIT_CHARS, wide, units,
                                            reinterpret_cast<char*>(buffer), sizeof buffer, nullptr, &lacked);
        if (got <= 0 || lacked) return false;
        n = static_cast<size_t>(got);
        break;
    }
    }
    if (n > room) {
        *bytes = 0;
        return true;
    }
    std::memcpy(out, buffer, n);
    *bytes = n;
    return true;
}

}  // namespace

iconv_t iconv_open(const char* to, const char* from) {
    auto* c = new orbalis_iconv{};
    if (!Parse(to, &c->to, &c->toPage) || !Parse(from, &c->from, &c->fromPage)) {
        delete c;
        errno = EINVAL;
        return reinterpret_cast<iconv_t>(-1);
    }
    return c;
}

int iconv_close(iconv_t c) {
    delete c;
    return 0;
}

size_t iconv(iconv_t c, char** in, size_t* inLeft, char** out, size_t* outLeft) {
    if (!in || !*in) {  // back to the initial state
        c->bomRead = false;
        c->bigEndianInput = true;
        return 0;
    }
    while (*inLeft > 0) {
        size_t used = 0;
        const uint32_t cp = Decode(*c, reinterpret_cast<const unsigned char*>(*in), *inLeft, &used);
        if (cp == kCut) {
            errno = EINVAL;
            return static_cast<size_t>(-1);
        }
        if (cp == kBad) {
            errno = EILSEQ;
            return static_cast<size_t>(-1);
        }
        if (cp != 0xFEFF0000u) {
            size_t bytes = 0;
            if (!Encode(*c, cp, reinterpret_cast<unsigned char*>(*out), *outLeft, &bytes)) {
                errno = EILSEQ;
                return static_cast<size_t>(-1);
            }
            if (!bytes) {
                errno = E2BIG;
                return static_cast<size_t>(-1);
            }
            *out += bytes;
            *outLeft -= bytes;
        }
        *in += used;
        *inLeft -= used;
    }
    return 0;
}
