// Multibyte code pages. The system's multibyte code page (CP_ACP) of the
// stand-in is UTF-8 (65001); Shift-JIS (932) is there for text that names it.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "host/win32/Driver.h"
#include "host/win32/Windows.h"

#define MB_ERR_INVALID_CHARS 0x00000008

namespace orbalis::win32 {
namespace {

// Appends the UTF-16 of UTF-8 `text`; false at the first malformed sequence
// when `strict`, else it becomes U+FFFD.
bool DecodeUtf8(const char* text, size_t n, bool strict, std::u16string* out) {
    for (size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t cp;
        size_t len;
        if (c < 0x80)
            cp = c, len = 1;
        else if ((c & 0xE0) == 0xC0)
            cp = c & 0x1F, len = 2;
        else if ((c & 0xF0) == 0xE0)
            cp = c & 0x0F, len = 3;
        else if ((c & 0xF8) == 0xF0)
            cp = c & 0x07, len = 4;
        else
            len = 0, cp = 0;
        bool good = len > 0 && i + len <= n;
        for (size_t k = 1; good && k < len; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            good = (t & 0xC0) == 0x80;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        good = good && cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (!good) {
            if (strict) return false;
            out->push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return true;
}

void EncodeUtf8(const char16_t* wide, size_t n, std::string* out) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x80) {
            out->push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
}

// Shift-JIS through iconv; characters it lacks become '?'.
bool Iconv(const char* to, const char* from, const char* in, size_t n, std::string* out, bool strict) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char buffer[256];
    char* src = const_cast<char*>(in);
    size_t left = n;
    bool ok = true;
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out->append(buffer, size_t(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            if (strict) {
                ok = false;
                break;
            }
            // Skip one unit of the input and mark the gap.
            const size_t unit = std::string(from) == "UTF-16LE" ? 2 : 1;
            src += std::min(unit, left);
            left -= std::min(unit, left);
            if (std::string(to) == "UTF-16LE")
                out->append("\x3F\x00", 2);
            else
                out->push_back('?');
        }
    }
    iconv_close(cd);
    return ok;
}

bool ToWide(UINT codePage, const char* text, size_t n, bool strict, std::u16string* out) {
    if (codePage == CP_ACP || codePage == CP_UTF8) return DecodeUtf8(text, n, strict, out);
    if (codePage != 932) return false;
    std::string bytes;
    if (!Iconv("UTF-16LE", "CP932", text, n, &bytes, strict)) return false;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out->push_back(static_cast<char16_t>(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
    return true;
}

bool FromWide(UINT codePage, const char16_t* wide, size_t n, std::string* out, bool* usedDefault) {
    if (codePage == CP_ACP || codePage == CP_UTF8) {
        EncodeUtf8(wide, n, out);
        return true;
    }
    if (codePage != 932) return false;
    std::string bytes;
    for (size_t i = 0; i < n; ++i) {
        bytes.push_back(static_cast<char>(wide[i] & 0xFF));
        bytes.push_back(static_cast<char>(wide[i] >> 8));
    }
    const size_t before = out->size();
    std::string converted;
    Iconv("CP932", "UTF-16LE", bytes.data(), bytes.size(), &converted, false);
    if (usedDefault) *usedDefault = converted.find('?') != std::string::npos;
    out->append(converted);
    return out->size() >= before;
}

}  // namespace

std::u16string Widen(const std::string& text) {
    std::u16string out;
    DecodeUtf8(text.data(), text.size(), false, &out);
    return out;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    EncodeUtf8(text.data(), text.size(), &out);
    return out;
}

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

UINT WINAPI GetACP(void) { return CP_UTF8; }

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int wideChars) {
    if (!text || wideChars < 0 || (wideChars > 0 && !wide)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // -1 converts up to and including the terminating NUL.
    const size_t n = bytes < 0 ? std::char_traits<char>::length(text) + 1 : static_cast<size_t>(bytes);
    std::u16string out;
    if (!ToWide(codePage, text, n, (flags & MB_ERR_INVALID_CHARS) != 0, &out)) {
        SetLastError(codePage == CP_ACP || codePage == CP_UTF8 || codePage == 932 ? 1113 : ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (wideChars == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(wideChars)) {
        SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::copy(out.begin(), out.end(), wide);
    return static_cast<int>(out.size());
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideChars, LPSTR text, int bytes, LPCSTR,
                               BOOL* usedDefault) {
    if (!wide || bytes < 0 || (bytes > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t n = wideChars < 0 ? WideLength(wide) + 1 : static_cast<size_t>(wideChars);
    std::string out;
    bool defaulted = false;
    if (!FromWide(codePage, wide, n, &out, &defaulted)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (usedDefault) *usedDefault = defaulted;
    if (bytes == 0) return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(bytes)) {
        SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::copy(out.begin(), out.end(), text);
    return static_cast<int>(out.size());
}

}  // extern "C"
