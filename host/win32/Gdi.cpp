// GDI objects: solid brushes, fonts, bitmaps and device contexts, each a
// handle of the table; every object the caller creates is counted until it
// is deleted. System colour brushes belong to the system and are not.
#include <map>

#include "host/win32/Driver.h"
#include "host/win32/Images.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct Brush : Object {
    COLORREF colour = 0;
    bool system = false;
};

struct Font : Object {
    LOGFONTW font{};
};

struct DeviceContext : Object {
    HWND window = nullptr;
    COLORREF textColour = 0;
    COLORREF background = RGB(255, 255, 255);
    int backgroundMode = OPAQUE;
    HGDIOBJ font = nullptr;
    HGDIOBJ brush = nullptr;
};

int gSystemBrushes = 0;

DeviceContext* DcOf(HDC dc) { return Handles().Get<DeviceContext>(dc, Kind::DeviceContext); }

}  // namespace

int LiveGdiObjects() {
    const HandleTable& h = Handles();
    return h.Live(Kind::Brush) - gSystemBrushes + h.Live(Kind::Font) + h.Live(Kind::Bitmap) +
           h.Live(Kind::DeviceContext);
}

int LiveImageLists() { return Handles().Live(Kind::ImageList); }

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

// The classic Windows colours.
DWORD WINAPI GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    }
    return 0;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    auto brush = std::make_unique<Brush>();
    brush->colour = colour;
    return reinterpret_cast<HBRUSH>(Handles().Add(Kind::Brush, std::move(brush)));
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    static std::map<int, HBRUSH> brushes;
    auto it = brushes.find(index);
    if (it != brushes.end()) return it->second;
    auto brush = std::make_unique<Brush>();
    brush->colour = GetSysColor(index);
    brush->system = true;
    ++gSystemBrushes;
    return brushes[index] = reinterpret_cast<HBRUSH>(Handles().Add(Kind::Brush, std::move(brush)));
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_unique<Font>();
    object->font = *font;
    return reinterpret_cast<HFONT>(Handles().Add(Kind::Font, std::move(object)));
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    const auto value = reinterpret_cast<uintptr_t>(object);
    const HandleKind* kind = Handles().KindOf(value);
    if (kind == &Kind::Brush) {
        auto* brush = Handles().Get<Brush>(object, *kind);
        if (!brush) return FALSE;
        if (brush->system) return TRUE;  // not the caller's to delete
        return Handles().Remove(value, *kind);
    }
    if (kind == &Kind::Font) return Handles().Remove(value, *kind);
    if (kind == &Kind::Bitmap) {
        auto* image = Handles().Get<Image>(object, *kind);
        if (!image) return FALSE;
        if (image->shared) return TRUE;
        return Handles().Remove(value, *kind);
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HDC WINAPI GetDC(HWND window) {
    if (window && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    return reinterpret_cast<HDC>(Handles().Add(Kind::DeviceContext, std::move(dc)));
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    return Handles().Remove(reinterpret_cast<uintptr_t>(dc), Kind::DeviceContext) ? 1 : 0;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* d = DcOf(dc);
    const HandleKind* kind = Handles().KindOf(reinterpret_cast<uintptr_t>(object));
    if (!d || !kind || !Handles().Find(reinterpret_cast<uintptr_t>(object), *kind)) return nullptr;
    if (kind != &Kind::Font && kind != &Kind::Brush) return nullptr;
    HGDIOBJ& slot = kind == &Kind::Font ? d->font : d->brush;
    HGDIOBJ previous = slot;
    slot = object;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    DeviceContext* d = DcOf(dc);
    if (!d) return CLR_INVALID;
    const COLORREF previous = d->textColour;
    d->textColour = colour;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC dc) {
    DeviceContext* d = DcOf(dc);
    return d ? d->textColour : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    DeviceContext* d = DcOf(dc);
    if (!d) return CLR_INVALID;
    const COLORREF previous = d->background;
    d->background = colour;
    return previous;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    DeviceContext* d = DcOf(dc);
    if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = d->backgroundMode;
    d->backgroundMode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC dc) {
    DeviceContext* d = DcOf(dc);
    return d ? d->backgroundMode : 0;
}

BOOL WINAPI SystemParametersInfoW(UINT action, UINT param, LPVOID value, UINT) {
    if (action == SPI_GETICONTITLELOGFONT && value && param >= sizeof(LOGFONTW)) {
        // The icon-title font of a Japanese system: Meiryo UI, 9 points.
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = 128;  // SHIFTJIS_CHARSET
        const char16_t face[] = u"Meiryo UI";
        for (size_t i = 0; i < sizeof face / sizeof face[0]; ++i) font.lfFaceName[i] = face[i];
        *static_cast<LOGFONTW*>(value) = font;
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

}  // extern "C"
