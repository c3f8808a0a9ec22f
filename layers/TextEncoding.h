// The encodings of the plug-in's text files. The values are those of the
// host's string conversion, so they are handed to it as they stand.
#pragma once

#include <cstdint>

namespace orbalis {

enum TextEncoding : int32_t {
    ShiftJis = 17,  // code page 932
    Utf8 = 1,
    Utf16 = 2,  // little-endian unless a byte-order mark says otherwise
};

}  // namespace orbalis
