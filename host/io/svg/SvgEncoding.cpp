#include "host/io/svg/SvgEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "host/io/svg/SvgConventions.h"

namespace orbalis::host::svg {
namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

// The encoding named by `<?xml ... encoding="..."?>`, if any.
std::string DeclaredEncoding(const std::string& text) {
    if (text.compare(0, 5, "<?xml") != 0) return {};
    const size_t end = text.find("?>");
    const std::string_view decl = std::string_view(text).substr(0, end);
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    size_t i = decl.find_first_of("\"'", at);
    if (i == std::string_view::npos) return {};
    const char quote = decl[i];
    const size_t close = decl.find(quote, i + 1);
    if (close == std::string_view::npos) return {};
    return std::string(decl.substr(i + 1, close - i - 1));
}

bool Convert(const std::string& text, const std::string& from, std::string* out, std::string* error) {
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    if (cd == iconv_t(-1)) {
        *error = std::string("unsupported text encoding ").append(Quote(from));
        return false;
    }
    out->clear();
    std::string buffer(4096, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out->append(buffer.data(), buffer.size() - outLeft);
        if (r == size_t(-1) && errno != E2BIG) {
            *error = std::string("text is not valid ")
                         .append(Quote(from))
                         .append(" at byte ")
                         .append(std::to_string(text.size() - inLeft));
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

}  // namespace

bool ConvertToUtf8(const std::string& text, std::string* converted, std::string* error) {
    converted->clear();
    auto starts = [&](const char* bom, size_t n) { return text.size() >= n && std::memcmp(text.data(), bom, n) == 0; };
    if (starts("\xFF\xFE\0\0", 4) || starts("\0\0\xFE\xFF", 4)) return Convert(text, "UTF-32", converted, error);
    if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) return Convert(text, "UTF-16", converted, error);
    const std::string declared = Upper(DeclaredEncoding(text));
    if (declared.empty() || declared == "UTF-8" || declared == "UTF8" || declared == "US-ASCII" || declared == "ASCII")
        return true;
    if (declared == "SHIFT_JIS" || declared == "SHIFT-JIS" || declared == "SJIS" || declared == "WINDOWS-31J")
        return Convert(text, "CP932", converted, error);
    return Convert(text, declared, converted, error);
}

}  // namespace orbalis::host::svg
