#include "host/text/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "sdk/suites/StringSuites.h"

namespace orbalis::host {
namespace {

// glibc's name for code page 932 as Windows defines it. Its "SJIS" is the
// JIS flavour instead (0x5C is a yen sign, 0x8160 a wave dash).
constexpr const char* kCodePage932 = "CP932";
constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

constexpr char16_t kReplacementCharacter = u'\uFFFD';
constexpr char kUtf8Replacement[] = "\xEF\xBF\xBD";

enum Direction { kUtf8ToUtf16, kUtf16ToUtf8, kCodePageToUtf16, kUtf16ToCodePage, kDirectionCount };

class Converter {
public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Converter() {
        if (open()) iconv_close(descriptor_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool open() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t descriptor() const { return descriptor_; }

private:
    iconv_t descriptor_;
};

// The descriptor for a direction, opened on first use in each thread; null
// when the system cannot convert that way.
iconv_t descriptorFor(Direction direction) {
    thread_local std::array<std::unique_ptr<Converter>, kDirectionCount> converters;
    std::unique_ptr<Converter>& converter = converters[direction];
    if (!converter) {
        switch (direction) {
        case kUtf8ToUtf16: converter = std::make_unique<Converter>(kNativeUtf16, "UTF-8"); break;
        case kUtf16ToUtf8: converter = std::make_unique<Converter>("UTF-8", kNativeUtf16); break;
        case kCodePageToUtf16: converter = std::make_unique<Converter>(kNativeUtf16, kCodePage932); break;
        case kUtf16ToCodePage: converter = std::make_unique<Converter>(kCodePage932, kNativeUtf16); break;
        case kDirectionCount: return nullptr;
        }
    }
    if (!converter->open()) return nullptr;
    // Back to the initial state, whatever an earlier call left behind.
    iconv(converter->descriptor(), nullptr, nullptr, nullptr, nullptr);
    return converter->descriptor();
}

// How many bad input units to step over, and what to write for them.
template <class Unit>
struct Skip {
    std::size_t units;
    std::basic_string_view<Unit> replacement;
};

// Runs `descriptor` over `input`, appending to `output`. Where iconv stops at
// an invalid or truncated sequence, `onBad(position)` (a position in input
// units) says how far to skip and what to write instead. Returns whether
// anything was replaced.
template <class In, class Out, class OnBad>
bool convert(iconv_t descriptor, std::basic_string_view<In> input, std::basic_string<Out>& output,
             std::size_t outputUnitsPerInputUnit, OnBad onBad) {
    const char* const begin = reinterpret_cast<const char*>(input.data());
    char* in = const_cast<char*>(begin);
    std::size_t inLeft = input.size() * sizeof(In);

    std::size_t used = output.size() * sizeof(Out);
    output.resize(output.size() + input.size() * outputUnitsPerInputUnit + 4);
    auto outBegin = [&] { return reinterpret_cast<char*>(output.data()); };
    char* out = outBegin() + used;
    std::size_t outLeft = output.size() * sizeof(Out) - used;
    auto grow = [&](std::size_t atLeastUnits) {
        used = static_cast<std::size_t>(out - outBegin());
        output.resize(output.size() + std::max(output.size(), atLeastUnits));
        out = outBegin() + used;
        outLeft = output.size() * sizeof(Out) - used;
    };

    bool replaced = false;
    while (inLeft > 0) {
        if (iconv(descriptor, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            grow(16);
            continue;
        }
        // EILSEQ (invalid) or EINVAL (truncated at the end); anything else
        // is treated like EILSEQ so that the loop always moves on.
        Skip<Out> skip = onBad(static_cast<std::size_t>(in - begin) / sizeof(In));
        std::size_t replacementBytes = skip.replacement.size() * sizeof(Out);
        if (outLeft < replacementBytes) grow(skip.replacement.size());
        std::memcpy(out, skip.replacement.data(), replacementBytes);
        out += replacementBytes;
        outLeft -= replacementBytes;
        std::size_t skipBytes = std::min(skip.units * sizeof(In), inLeft);
        in += skipBytes;
        inLeft -= skipBytes;
        replaced = true;
    }
    output.resize(static_cast<std::size_t>(out - outBegin()) / sizeof(Out));
    return replaced;
}

// Length of the longest start of a well-formed UTF-8 sequence at `bytes`, at
// least 1: the part that one U+FFFD stands for.
std::size_t utf8BadSequenceLength(std::string_view bytes) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t continuations = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
    } else if (lead == 0xE0) {
        continuations = 2, low = 0xA0;
    } else if (lead == 0xED) {
        continuations = 2, high = 0x9F;
    } else if (lead >= 0xE1 && lead <= 0xEF) {
        continuations = 2;
    } else if (lead == 0xF0) {
        continuations = 3, low = 0x90;
    } else if (lead >= 0xF1 && lead <= 0xF3) {
        continuations = 3;
    } else if (lead == 0xF4) {
        continuations = 3, high = 0x8F;
    }
    std::size_t length = 1;
    for (std::size_t k = 0; k < continuations && length < bytes.size(); ++k, ++length) {
        unsigned char c = byte(length);
        if (k == 0 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) break;
    }
    return length;
}

bool isCodePageLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isCodePageTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

std::size_t codePageBadSequenceLength(std::string_view bytes) {
    if (bytes.size() >= 2 && isCodePageLeadByte(static_cast<unsigned char>(bytes[0])) &&
        isCodePageTrailByte(static_cast<unsigned char>(bytes[1]))) {
        return 2;
    }
    return 1;
}

// One character at `position`: a surrogate pair is two units, anything else one.
std::size_t utf16CharacterLength(std::u16string_view text, std::size_t position) {
    bool high = text[position] >= 0xD800 && text[position] <= 0xDBFF;
    bool pairFollows = position + 1 < text.size() && text[position + 1] >= 0xDC00 && text[position + 1] <= 0xDFFF;
    return high && pairFollows ? 2 : 1;
}

bool decodeWith(iconv_t descriptor, Direction direction, std::string_view bytes, std::u16string& text) {
    std::size_t (*badLength)(std::string_view) =
        direction == kUtf8ToUtf16 ? utf8BadSequenceLength : codePageBadSequenceLength;
    static constexpr char16_t kReplacement[] = {kReplacementCharacter};
    return convert(descriptor, bytes, text, 1, [&](std::size_t position) {
        return Skip<char16_t>{badLength(bytes.substr(position)), std::u16string_view(kReplacement, 1)};
    });
}

bool encodeWith(iconv_t descriptor, Direction direction, std::u16string_view text, std::string& bytes) {
    std::string_view replacement = direction == kUtf16ToUtf8 ? std::string_view(kUtf8Replacement) : "?";
    return convert(descriptor, text, bytes, 3, [&](std::size_t position) {
        return Skip<char>{utf16CharacterLength(text, position), replacement};
    });
}

bool decodeUtf16Bytes(std::string_view bytes, std::u16string& text) {
    text.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text +=
            static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    if (bytes.size() % 2 == 0) return false;
    text += kReplacementCharacter;
    return true;
}

void encodeUtf16Bytes(std::u16string_view text, std::string& bytes) {
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
}

// The system's multibyte code page is UTF-8 on these machines (code page
// 65001), so file names in any script pass through it; Shift-JIS is used
// only where it is asked for by name.
bool isCodePage(int32_t encoding) { return encoding == kHostEncodingShiftJIS; }

}  // namespace

bool isSupportedEncoding(int32_t encoding) {
    return isCodePage(encoding) || encoding == kHostEncodingPlatform || encoding == kHostEncodingUTF8 ||
           encoding == kHostEncodingUTF16;
}

HostErr decodeText(int32_t encoding, std::string_view bytes, std::u16string* text, bool* replaced) {
    if (!text || !isSupportedEncoding(encoding)) return kHostBadParameterErr;
    std::u16string result;
    bool anyReplaced = false;
    if (encoding == kHostEncodingUTF16) {
        anyReplaced = decodeUtf16Bytes(bytes, result);
    } else {
        Direction direction = isCodePage(encoding) ? kCodePageToUtf16 : kUtf8ToUtf16;
        iconv_t descriptor = descriptorFor(direction);
        if (!descriptor) return kHostEncodingErr;
        anyReplaced = decodeWith(descriptor, direction, bytes, result);
    }
    *text = std::move(result);
    if (replaced) *replaced = anyReplaced;
    return 0;
}

HostErr encodeText(int32_t encoding, std::u16string_view text, std::string* bytes, bool* replaced) {
    if (!bytes || !isSupportedEncoding(encoding)) return kHostBadParameterErr;
    std::string result;
    bool anyReplaced = false;
    if (encoding == kHostEncodingUTF16) {
        encodeUtf16Bytes(text, result);
    } else {
        Direction direction = isCodePage(encoding) ? kUtf16ToCodePage : kUtf16ToUtf8;
        iconv_t descriptor = descriptorFor(direction);
        if (!descriptor) return kHostEncodingErr;
        anyReplaced = encodeWith(descriptor, direction, text, result);
    }
    *bytes = std::move(result);
    if (replaced) *replaced = anyReplaced;
    return 0;
}

std::u16string utf8ToUtf16(std::string_view utf8, bool* replaced) {
    std::u16string text;
    if (decodeText(kHostEncodingUTF8, utf8, &text, replaced) != 0) {
        throw std::runtime_error("the system cannot convert UTF-8 to UTF-16");
    }
    return text;
}

std::string utf16ToUtf8(std::u16string_view text, bool* replaced) {
    std::string bytes;
    if (encodeText(kHostEncodingUTF8, text, &bytes, replaced) != 0) {
        throw std::runtime_error("the system cannot convert UTF-16 to UTF-8");
    }
    return bytes;
}

}  // namespace orbalis::host
