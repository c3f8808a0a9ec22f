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

private:
    HostString handle_ = nullptr;
};

}  // namespace ai
