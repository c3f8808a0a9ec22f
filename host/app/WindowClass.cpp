#include "host/app/WindowClass.h"

namespace orbalis::host {

std::u16string ClassOf(HWND window) {
    char16_t name[64] = {};
    GetClassNameW(window, name, 64);
    std::u16string text = name;
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

}  // namespace orbalis::host
