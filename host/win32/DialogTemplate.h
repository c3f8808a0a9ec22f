// Extended dialog templates (the DIALOGEX form of a resource script), read
// from a resource's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int id = 0;
    std::u16string className;  // predefined classes by name: BUTTON, EDIT, STATIC, COMBOBOX, ...
    std::u16string text;
    int textOrdinal = -1;  // a resource id given instead of a text (icons)
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::u16string menu;
    std::u16string className;
    std::u16string caption;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    std::u16string font;
    std::vector<DialogItemTemplate> items;
};

// False, with the reason, for anything but a well-formed extended template.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out, std::string* error);

// Dialog base units of a template's font in pixels: average character width
// and line height. "MS Shell Dlg" at 8 points gives 6 by 13.
struct BaseUnits {
    int x;
    int y;
};
BaseUnits BaseUnitsOf(const DialogTemplate& t);
RECT ToPixels(const BaseUnits& units, int x, int y, int cx, int cy);

}  // namespace orbalis::win32
