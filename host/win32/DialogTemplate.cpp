#include "host/win32/DialogTemplate.h"

#include <cmath>
#include <cstring>

namespace orbalis::win32 {
namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    template <class T>
    T Read() {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            pos_ = size_;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::u16string String() {
        std::u16string s;
        for (;;) {
            const uint16_t c = Read<uint16_t>();
            if (!ok_ || c == 0) return s;
            s.push_back(static_cast<char16_t>(c));
        }
    }

    // A name or an ordinal: 0 for none, 0xFFFF followed by a number, or a
    // string.
    void NameOrOrdinal(std::u16string* name, int* ordinal) {
        const size_t start = pos_;
        const uint16_t first = Read<uint16_t>();
        if (!ok_) return;
        if (first == 0) return;
        if (first == 0xFFFF) {
            *ordinal = Read<uint16_t>();
            return;
        }
        pos_ = start;
        *name = String();
    }

    void Align(size_t n) { pos_ = (pos_ + n - 1) / n * n; }

    std::vector<uint8_t> Bytes(size_t n) {
        if (pos_ + n > size_) {
            ok_ = false;
            return {};
        }
        std::vector<uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::u16string PredefinedClass(int atom) {
    switch (atom) {
    case 0x80: return u"BUTTON";
    case 0x81: return u"EDIT";
    case 0x82: return u"STATIC";
    case 0x83: return u"LISTBOX";
    case 0x84: return u"SCROLLBAR";
    case 0x85: return u"COMBOBOX";
    }
    return {};
}

}  // namespace

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out, std::string* error) {
    Reader r(data, size);
    const uint16_t version = r.Read<uint16_t>();
    const uint16_t signature = r.Read<uint16_t>();
    if (!r.ok() || version != 1 || signature != 0xFFFF) {
        *error = "not an extended dialog template";
        return false;
    }
    DialogTemplate t;
    r.Read<uint32_t>();  // help id
    t.exStyle = r.Read<uint32_t>();
    t.style = r.Read<uint32_t>();
    const uint16_t count = r.Read<uint16_t>();
    t.x = r.Read<int16_t>();
    t.y = r.Read<int16_t>();
    t.cx = r.Read<int16_t>();
    t.cy = r.Read<int16_t>();
    int ordinal = -1;
    r.NameOrOrdinal(&t.menu, &ordinal);
    r.NameOrOrdinal(&t.className, &ordinal);
    t.caption = r.String();
    if (t.style & (DS_SETFONT | DS_FIXEDSYS)) {
        t.pointSize = r.Read<uint16_t>();
        t.weight = r.Read<uint16_t>();
        t.italic = r.Read<uint8_t>() != 0;
        r.Read<uint8_t>();  // character set
        t.font = r.String();
    }
    for (uint16_t i = 0; i < count && r.ok(); ++i) {
        r.Align(4);
        DialogItemTemplate item;
        r.Read<uint32_t>();  // help id
        item.exStyle = r.Read<uint32_t>();
        item.style = r.Read<uint32_t>();
        item.x = r.Read<int16_t>();
        item.y = r.Read<int16_t>();
        item.cx = r.Read<int16_t>();
        item.cy = r.Read<int16_t>();
        item.id = r.Read<int32_t>();
        int classAtom = -1;
        r.NameOrOrdinal(&item.className, &classAtom);
        if (classAtom >= 0) {
            item.className = PredefinedClass(classAtom);
            if (item.className.empty()) {
                *error = "dialog item " + std::to_string(item.id) + " has an unknown class";
                return false;
            }
        }
        r.NameOrOrdinal(&item.text, &item.textOrdinal);
        const uint16_t extra = r.Read<uint16_t>();
        if (extra) item.creationData = r.Bytes(extra);
        t.items.push_back(std::move(item));
    }
    if (!r.ok()) {
        *error = "the dialog template is cut short";
        return false;
    }
    *out = std::move(t);
    return true;
}

BaseUnits BaseUnitsOf(const DialogTemplate& t) {
    // The line height is the font's pixel height at 96 dots per inch plus
    // the leading; the average character width follows it in the
    // proportions of the shell dialog font.
    const int points = t.pointSize > 0 ? t.pointSize : 8;
    const int y = static_cast<int>(std::ceil(points * 96.0 / 72.0)) + 2;
    const int x = static_cast<int>(std::lround(y * 6.0 / 13.0));
    return BaseUnits{x, y};
}

RECT ToPixels(const BaseUnits& units, int x, int y, int cx, int cy) {
    // In floating point: a damaged template's coordinates and font size
    // multiply past the range of int.
    auto h = [&](int v) { return static_cast<LONG>(std::lround(double(v) * units.x / 4.0)); };
    auto v = [&](int w) { return static_cast<LONG>(std::lround(double(w) * units.y / 8.0)); };
    return RECT{h(x), v(y), h(x + cx), v(y + cy)};
}

}  // namespace orbalis::win32
