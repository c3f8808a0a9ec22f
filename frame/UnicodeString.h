// ai::UnicodeString: owns one host Unicode string.
#pragma once

#include <string>
#include <string_view>

#include "frame/HostError.h"
#include "sdk/suites/StringSuites.h"

namespace ai {

class UnicodeString {
public:
    UnicodeString();
    explicit UnicodeString(std::string_view utf8);
    // Text in an 8-bit encoding (kHostEncodingPlatform, kHostEncodingShiftJIS,
    // kHostEncodingUTF8).
    UnicodeString(std::string_view bytes, int32_t encoding);
    explicit UnicodeString(std::u16string_view units);
    UnicodeString(const UnicodeString& other);
    UnicodeString& operator=(const UnicodeString& other);
    UnicodeString(UnicodeString&& other) noexcept;
    UnicodeString& operator=(UnicodeString&& other) noexcept;
    ~UnicodeString();

    HostString handle() const { return handle_; }
    std::string utf8() const;
    std::u16string utf16() const;
    // The text in an encoding of the host's string conversion (kHostEncoding...).
    std::string encoded(int32_t encoding) const;
    size_t length() const;
    bool empty() const { return length() == 0; }
    bool operator==(const UnicodeString& other) const;

    UnicodeString& append(const UnicodeString& other);

    // Text operations counted in characters (code points): a surrogate pair
    // is one character and is never split.
    static constexpr size_t npos = static_cast<size_t>(-1);
    size_t characterCount() const;
    char32_t characterAt(size_t index) const;
    // The first occurrence of `what` at or after character `start`; npos when none.
    size_t find(const UnicodeString& what, size_t start = 0) const;
    UnicodeString& erase(size_t position, size_t count = npos);
    UnicodeString substr(size_t position, size_t count = npos) const;
    UnicodeString& assign(const UnicodeString& other);
    // Negative, 0 or positive as this string sorts before, equal to or after `other`.
    int compare(const UnicodeString& other) const;

private:
    HostString handle_ = nullptr;
};

}  // namespace ai
