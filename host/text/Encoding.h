// Text conversions between the host's UTF-16 strings and byte encodings:
// UTF-8, UTF-16 (little-endian bytes), Shift-JIS as code page 932 (as
// Windows defines it: 0x5C is a backslash, NEC and IBM extension characters,
// user-defined rows in the private use area) and the system's multibyte code
// page, which in this host is UTF-8 (code page 65001).
//
// Decoding never fails. Each invalid input becomes one U+FFFD:
//  - UTF-8: each maximal part of an ill-formed sequence (a truncated
//    sequence counts once, a stray continuation byte once per byte);
//  - code page 932: a lead byte and a trail byte that together name no
//    character count once; any other bad byte (0x80, 0xA0, 0xFD-0xFF, a lead
//    byte without a valid trail byte) counts once and the byte after it is
//    read afresh, so an ASCII character after a broken lead byte survives;
//  - UTF-16 bytes: an odd final byte. Code units are otherwise taken as they
//    are, a lone surrogate included, since host strings hold code units.
// Encoding writes '?' for each character code page 932 lacks (a surrogate
// pair is one character) and for a lone surrogate; UTF-8 gets U+FFFD for a
// lone surrogate; UTF-16 bytes are the code units unchanged. A few JIS
// look-alikes are written as their Windows counterparts, as Windows' best fit
// does, and come back as those (U+00A5 yen sign as 0x5C, U+203E overline as
// 0x7E, U+301C wave dash as 0x8160, U+2212 minus as 0x817C).
//
// `replaced`, when given, tells whether any replacement was made.
// Conversions reuse one iconv descriptor per direction and thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sdk/HostErrors.h"

namespace orbalis::host {

// kHostEncodingPlatform, kHostEncodingShiftJIS, kHostEncodingUTF8 or
// kHostEncodingUTF16.
bool isSupportedEncoding(int32_t encoding);

// kHostBadParameterErr for an unsupported encoding or a null output,
// kHostEncodingErr when the system has no converter for it; the outputs are
// then left alone.
HostErr decodeText(int32_t encoding, std::string_view bytes, std::u16string* text, bool* replaced = nullptr);
HostErr encodeText(int32_t encoding, std::u16string_view text, std::string* bytes, bool* replaced = nullptr);

// Throw std::runtime_error only if the system cannot convert between UTF-8
// and UTF-16 at all.
std::u16string utf8ToUtf16(std::string_view utf8, bool* replaced = nullptr);
std::string utf16ToUtf8(std::u16string_view text, bool* replaced = nullptr);

}  // namespace orbalis::host
