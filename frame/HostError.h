// Exceptions the plug-in's own routines throw; turned into host codes before
// any message returns to the host.
#pragma once

#include <exception>

#include "sdk/HostErrors.h"

namespace orbalis {

// Frame codes.
inline constexpr HostErr kMessageNotHandled = HOST_FOURCC('!', 'M', 'S', 'G');
inline constexpr HostErr kFrameOutOfMemory = HOST_FOURCC('!', 'M', 'E', 'M');
inline constexpr HostErr kFrameCantHappen = HOST_FOURCC('C', 'A', 'N', 'T');
inline constexpr HostErr kPurgeAgreed = HOST_FOURCC('p', 'F', 'l', 's');
// The user cancelled (a dialog, a question or a progress display).
inline constexpr HostErr kCanceled = HOST_FOURCC('S', 'T', 'O', 'P');

}  // namespace orbalis

namespace ai {

// A host call failed with `code`.
class Error : public std::exception {
public:
    explicit Error(HostErr code) : code(code) {}
    const char* what() const noexcept override { return "host error"; }
    HostErr code;
};

inline void Check(HostErr code) {
    if (code) throw Error(code);
}

}  // namespace ai
