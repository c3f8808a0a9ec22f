#include "frame/UnicodeString.h"

#include <utility>

#include "frame/HostSuites.h"

namespace ai {

using orbalis::sUnicodeString;

UnicodeString::UnicodeString() { Check(sUnicodeString->NewString(&handle_)); }

UnicodeString::UnicodeString(std::string_view utf8) : UnicodeString() {
    Check(sUnicodeString->SetUTF8(handle_, utf8.data(), utf8.size()));
}

UnicodeString::UnicodeString(std::string_view bytes, int32_t encoding) : UnicodeString() {
    Check(sUnicodeString->SetEncoded(handle_, bytes.data(), bytes.size(), encoding));
}

UnicodeString::UnicodeString(std::u16string_view units) : UnicodeString() {
    Check(sUnicodeString->SetUTF16(handle_, reinterpret_cast<const uint16_t*>(units.data()), units.size()));
}

UnicodeString::UnicodeString(const UnicodeString& other) : UnicodeString() {
    Check(sUnicodeString->CopyString(handle_, other.handle_));
}

UnicodeString& UnicodeString::operator=(const UnicodeString& other) {
    if (this != &other) Check(sUnicodeString->CopyString(handle_, other.handle_));
    return *this;
}

UnicodeString::UnicodeString(UnicodeString&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

UnicodeString& UnicodeString::operator=(UnicodeString&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
}

UnicodeString::~UnicodeString() {
    if (handle_ && sUnicodeString) sUnicodeString->DisposeString(handle_);
}

std::string UnicodeString::utf8() const {
    size_t length = 0;
    Check(sUnicodeString->GetUTF8(handle_, nullptr, 0, &length));
    std::string out(length + 1, '\0');
    Check(sUnicodeString->GetUTF8(handle_, out.data(), out.size(), &length));
    out.resize(length);
    return out;
}

std::u16string UnicodeString::utf16() const {
    size_t count = 0;
    Check(sUnicodeString->GetUTF16(handle_, nullptr, 0, &count));
    std::u16string out(count + 1, u'\0');
    Check(sUnicodeString->GetUTF16(handle_, reinterpret_cast<uint16_t*>(out.data()), out.size(), &count));
    out.resize(count);
    return out;
}

std::string UnicodeString::encoded(int32_t encoding) const {
    size_t length = 0;
    Check(sUnicodeString->GetEncoded(handle_, encoding, nullptr, 0, &length));
    std::string out(length + 1, '\0');
    Check(sUnicodeString->GetEncoded(handle_, encoding, out.data(), out.size(), &length));
    out.resize(length);
    return out;
}

size_t UnicodeString::length() const {
    size_t count = 0;
    Check(sUnicodeString->Length(handle_, &count));
    return count;
}

bool UnicodeString::operator==(const UnicodeString& other) const {
    int32_t order = 0;
    Check(sUnicodeString->Compare(handle_, other.handle_, &order));
    return order == 0;
}

UnicodeString& UnicodeString::append(const UnicodeString& other) {
    Check(sUnicodeString->Append(handle_, other.handle_));
    return *this;
}

size_t UnicodeString::characterCount() const {
    size_t count = 0;
    Check(sUnicodeString->CountCharacters(handle_, &count));
    return count;
}

char32_t UnicodeString::characterAt(size_t index) const {
    uint32_t character = 0;
    Check(sUnicodeString->GetCharacter(handle_, index, &character));
    return static_cast<char32_t>(character);
}

size_t UnicodeString::find(const UnicodeString& what, size_t start) const {
    size_t position = kHostStringNoPosition;
    Check(sUnicodeString->FindCharacters(handle_, what.handle_, start, &position));
    return position == kHostStringNoPosition ? npos : position;
}

UnicodeString& UnicodeString::erase(size_t position, size_t count) {
    Check(sUnicodeString->EraseCharacters(handle_, position, count));
    return *this;
}

UnicodeString UnicodeString::substr(size_t position, size_t count) const {
    UnicodeString part;
    Check(sUnicodeString->SubstringCharacters(handle_, position, count, part.handle_));
    return part;
}

UnicodeString& UnicodeString::assign(const UnicodeString& other) {
    Check(sUnicodeString->CopyString(handle_, other.handle_));
    return *this;
}

int UnicodeString::compare(const UnicodeString& other) const {
    int32_t order = 0;
    Check(sUnicodeString->Compare(handle_, other.handle_, &order));
    return order;
}

}  // namespace ai
