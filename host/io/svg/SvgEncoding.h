// Bringing a file's text to UTF-8 before parsing.
#pragma once

#include <string>

namespace orbalis::host::svg {

// Converts text in UTF-16 or UTF-32 (by byte-order mark) or in the encoding
// its XML declaration names (Shift_JIS, for example) to UTF-8. Leaves
// `converted` empty when the text is UTF-8 already; false and a one-line
// `error` for an encoding that cannot be read.
bool ConvertToUtf8(const std::string& text, std::string* converted, std::string* error);

}  // namespace orbalis::host::svg
