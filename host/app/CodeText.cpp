#include "host/app/CodeText.h"

#include <cstdint>

namespace orbalis::host {

std::string CodeText(HostErr code) {
    const auto u = static_cast<uint32_t>(code);
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(u >> shift);
        if (c < 0x20 || c > 0x7E) return std::to_string(code);
        text += c;
    }
    return text + "'";
}

}  // namespace orbalis::host
