/* "AI Unicode String Suite" 8 and "AI File Path Suite" 6. */
#ifndef ORBALIS_SDK_STRING_SUITES_H
#define ORBALIS_SDK_STRING_SUITES_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Encodings for SetEncoded / GetEncoded. */
#define kHostEncodingPlatform 0 /* the system's multibyte code page (UTF-8 in this host) */
#define kHostEncodingUTF8 1
#define kHostEncodingUTF16 2 /* little-endian code units as bytes */
#define kHostEncodingShiftJIS 17

/* Returned by Find when there is no occurrence. */
#define kHostStringNoPosition ((size_t)-1)

/* A host string is a sequence of UTF-16 code units. Positions and lengths
 * count code units. Getters write at most `capacity` units or bytes,
 * always terminated when capacity > 0, and report the full length.
 *
 * Ownership: NewString hands the caller a new, empty string that the caller
 * owns until it passes it to DisposeString; after that the handle is stale.
 * Every other operation works on strings the caller already holds and keeps
 * no reference to them or to the caller's buffers once it returns: the
 * destination of CopyString and the result of Substring are strings the
 * caller created, overwritten in place. A null, disposed or made-up handle,
 * or the handle of another kind of object, is refused with
 * kHostBadParameterErr and never read; so is a second DisposeString. */
typedef struct HostUnicodeStringSuite {
    HostErr (*NewString)(HostString* string);
    HostErr (*DisposeString)(HostString string);
    HostErr (*CopyString)(HostString destination, HostString source);
    HostErr (*SetUTF8)(HostString string, const char* text, size_t length);
    HostErr (*GetUTF8)(HostString string, char* buffer, size_t capacity, size_t* length);
    HostErr (*SetUTF16)(HostString string, const uint16_t* units, size_t count);
    HostErr (*GetUTF16)(HostString string, uint16_t* buffer, size_t capacity, size_t* count);
    HostErr (*SetEncoded)(HostString string, const char* bytes, size_t length, int32_t encoding);
    HostErr (*GetEncoded)(HostString string, int32_t encoding, char* buffer, size_t capacity, size_t* length);
    HostErr (*Length)(HostString string, size_t* count);
    HostErr (*CharAt)(HostString string, size_t index, uint16_t* unit);
    /* *order is negative, 0 or positive as a sorts before, equal to or after b. */
    HostErr (*Compare)(HostString a, HostString b, int32_t* order);
    HostErr (*Find)(HostString string, HostString what, size_t start, size_t* position);
    HostErr (*Erase)(HostString string, size_t position, size_t count);
    HostErr (*Insert)(HostString string, size_t position, HostString what);
    HostErr (*Append)(HostString string, HostString what);
    HostErr (*Substring)(HostString string, size_t position, size_t count, HostString result);

    /* The same operations counted in characters: a character is one Unicode
     * code point, so a surrogate pair counts as one and is never split.
     * Positions past the end give kHostIndexErr; counts past the end stop
     * at it. */
    HostErr (*CountCharacters)(HostString string, size_t* count);
    HostErr (*GetCharacter)(HostString string, size_t index, uint32_t* character);
    HostErr (*FindCharacters)(HostString string, HostString what, size_t start, size_t* position);
    HostErr (*EraseCharacters)(HostString string, size_t position, size_t count);
    HostErr (*SubstringCharacters)(HostString string, size_t position, size_t count, HostString result);
} HostUnicodeStringSuite;

/* Ownership as for strings: NewFilePath hands the caller a new, empty path
 * that it owns until DisposeFilePath, after which the handle is stale and
 * refused with kHostBadParameterErr, as any handle not a live path is.
 * SetFromString and GetAsString read or
 * overwrite a string the caller holds; GetPlatformPath fills the caller's
 * buffer. No operation keeps a reference to its arguments. */
typedef struct HostFilePathSuite {
    HostErr (*NewFilePath)(HostFilePath* path);
    HostErr (*DisposeFilePath)(HostFilePath path);
    HostErr (*CopyFilePath)(HostFilePath destination, HostFilePath source);
    HostErr (*SetFromString)(HostFilePath path, HostString text);
    HostErr (*GetAsString)(HostFilePath path, HostString text);
    /* The full path in the system's multibyte code page. */
    HostErr (*GetPlatformPath)(HostFilePath path, char* buffer, size_t capacity, size_t* length);
    /* The path from its full form in the system's multibyte code page. */
    HostErr (*SetFromPlatformPath)(HostFilePath path, const char* text, size_t length);
    /* The last component of the path, without its extension (from its last
     * '.' on, unless the name starts with it) when `withExtension` is 0. */
    HostErr (*GetFileName)(HostFilePath path, HostBool withExtension, HostString name);
    /* The folder that holds the path; an empty path when there is none. */
    HostErr (*GetParent)(HostFilePath path, HostFilePath parent);
    /* Whether something exists at the path; `isFolder` may be null. */
    HostErr (*Exists)(HostFilePath path, HostBool* exists, HostBool* isFolder);
} HostFilePathSuite;

#ifdef __cplusplus
}
#endif

#endif
