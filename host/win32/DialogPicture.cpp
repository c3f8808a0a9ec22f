#include "host/win32/DialogPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"
#include "host/win32/Images.h"
#include "host/win32/Windows.h"
#include "sdk/win32/CommCtrl.h"

namespace orbalis::win32 {
namespace {

constexpr int kFrame = 3;     // the dialog frame's width
constexpr int kCaption = 19;  // the caption bar's height
constexpr const char* kFont = "'MS Shell Dlg 2', Tahoma, 'MS UI Gothic', 'IPAGothic', 'Noto Sans CJK JP', sans-serif";
constexpr const char* kFace = "#f0f0f0";
constexpr const char* kShadow = "#a0a0a0";
constexpr const char* kDarkShadow = "#696969";
constexpr const char* kGrayText = "#6d6d6d";

// The width of a text at 11 pixels: full-width characters a square, the
// rest a little over half of it.
int TextWidth(const std::string& text) {
    double width = 0;
    for (char16_t c : Widen(text)) width += c >= 0x2E80 ? 11 : 6.2;
    return static_cast<int>(width + 0.5);
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

class Svg {
public:
    void Rect(int x, int y, int w, int h, const char* fill, const char* stroke = nullptr) {
        Add("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"", x, y, w, h, fill);
        if (stroke) Add(" stroke=\"%s\" shape-rendering=\"crispEdges\"", stroke);
        body_ += "/>\n";
    }
    void Line(int x1, int y1, int x2, int y2, const char* colour) {
        Add("<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\" stroke=\"%s\"/>\n", x1, y1, x2, y2, colour);
    }
    // A 3D edge: light on the top and left, dark on the bottom and right.
    void Edge(int x, int y, int w, int h, const char* light, const char* dark) {
        Line(x, y, x + w - 1, y, light);
        Line(x, y, x, y + h - 1, light);
        Line(x, y + h - 1, x + w - 1, y + h - 1, dark);
        Line(x + w - 1, y, x + w - 1, y + h - 1, dark);
    }
    // Text wider than `room` pixels is squeezed into it, as a narrower
    // Windows font would have fitted it.
    void Text(int x, int y, const std::string& text, const char* anchor, const char* colour, bool bold = false,
              int room = 0) {
        if (text.empty()) return;
        const int width = TextWidth(text);
        if (room > 0 && width > room) {
            char scale[96];
            std::snprintf(scale, sizeof scale, "translate(%d %d) scale(%.3f 1)", x, y, double(room) / width);
            Add("<text x=\"0\" y=\"0\" transform=\"%s\"", scale);
        } else {
            Add("<text x=\"%d\" y=\"%d\"", x, y);
        }
        Add(" text-anchor=\"%s\" fill=\"%s\" xml:space=\"preserve\"%s", anchor, colour,
            bold ? " font-weight=\"bold\"" : "");
        body_ += ">";
        body_ += Escape(text) + "</text>\n";
    }
    void Raw(const std::string& s) { body_ += s; }
    std::string Finish(int width, int height) const {
        char head[512];
        std::snprintf(head, sizeof head,
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                      "font-family=\"%s\" font-size=\"11px\">\n",
                      width, height, width, height, kFont);
        return std::string(head) + body_ + "</svg>\n";
    }

private:
    template <class... A>
    void Add(const char* format, A... args) {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, format, args...);
        body_ += buffer;
    }
    std::string body_;
};

std::string TextOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), n + 1)));
    // '&' marks the access key; "&&" is a plain ampersand.
    std::u16string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        shown.push_back(text[i]);
    }
    return Narrow(shown);
}

void SunkenField(Svg& svg, int x, int y, int w, int h, const char* fill) {
    svg.Rect(x, y, w, h, fill);
    svg.Edge(x, y, w, h, kShadow, "#ffffff");
    svg.Edge(x + 1, y + 1, w - 2, h - 2, kDarkShadow, kFace);
}

// An image's pixels at (x, y), one rectangle per run of equal colour on a
// row, cut to `width` by `height`; transparent pixels are left out. A
// disabled control's image is drawn faded.
void DrawImage(Svg& svg, const Image& image, int x, int y, int width, int height, bool enabled) {
    svg.Raw(enabled ? "<g shape-rendering=\"crispEdges\">\n" : "<g shape-rendering=\"crispEdges\" opacity=\"0.35\">\n");
    for (int row = 0; row < std::min(image.height, height); ++row) {
        int column = 0;
        while (column < std::min(image.width, width)) {
            const uint32_t pixel = image.pixels[static_cast<size_t>(row * image.width + column)];
            int end = column + 1;
            while (end < std::min(image.width, width) &&
                   image.pixels[static_cast<size_t>(row * image.width + end)] == pixel)
                ++end;
            const unsigned alpha = pixel >> 24;
            if (alpha) {
                char rect[160];
                std::snprintf(
                    rect, sizeof rect, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"#%06x\"%s/>\n",
                    x + column, y + row, end - column, pixel & 0xFFFFFFu,
                    alpha == 255 ? ""
                                 : (" fill-opacity=\"" + std::to_string(alpha / 255.0).substr(0, 5) + "\"").c_str());
                svg.Raw(rect);
            }
            column = end;
        }
    }
    svg.Raw("</g>\n");
}

void DrawButton(Svg& svg, HWND control, const Window& w, const RECT& r, bool enabled) {
    const int x = r.left, y = r.top, cw = r.right - r.left, ch = r.bottom - r.top;
    const DWORD type = w.style & BS_TYPEMASK;
    const std::string text = TextOf(control);
    const char* ink = enabled ? "#000000" : kGrayText;
    const int middle = y + ch / 2 + 4;
    const UINT check = static_cast<UINT>(SendMessageW(control, BM_GETCHECK, 0, 0));
    switch (type) {
    case BS_GROUPBOX: {
        const int top = y + 6;
        svg.Rect(x, top, cw - 1, ch - 7, "none", kShadow);
        svg.Rect(x + 1, top + 1, cw - 1, ch - 7, "none", "#ffffff");
        if (!text.empty()) {
            // The caption interrupts the frame's top edge.
            const int width = TextWidth(text) + 4;
            svg.Rect(x + 6, y, width, 12, kFace);
            svg.Text(x + 8, y + 10, text, "start", ink);
        }
        return;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
        // Buttons paint their own background, over a group box's frame.
        svg.Rect(x, y, cw, ch, kFace);
        const int by = y + (ch - 13) / 2;
        SunkenField(svg, x, by, 13, 13, enabled ? "#ffffff" : kFace);
        if (check == BST_CHECKED)
            svg.Raw("<path d=\"M" + std::to_string(x + 3) + " " + std::to_string(by + 6) +
                    " l2 3 l5 -6\" fill=\"none\" stroke=\"" + ink + "\" stroke-width=\"2\"/>\n");
        svg.Text(x + 17, middle, text, "start", ink, false, cw - 17);
        return;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        svg.Rect(x, y, cw, ch, kFace);
        const int cy = y + ch / 2;
        char circle[256];
        std::snprintf(circle, sizeof circle, "<circle cx=\"%d\" cy=\"%d\" r=\"5.5\" fill=\"%s\" stroke=\"%s\"/>\n",
                      x + 6, cy, enabled ? "#ffffff" : kFace, kDarkShadow);
        svg.Raw(circle);
        if (check == BST_CHECKED) {
            std::snprintf(circle, sizeof circle, "<circle cx=\"%d\" cy=\"%d\" r=\"2.5\" fill=\"%s\"/>\n", x + 6, cy,
                          ink);
            svg.Raw(circle);
        }
        svg.Text(x + 16, middle, text, "start", ink, false, cw - 16);
        return;
    }
    }
    // Push buttons; the default one has a dark outline.
    svg.Rect(x, y, cw, ch, kFace);
    if (type == BS_DEFPUSHBUTTON) {
        svg.Rect(x, y, cw - 1, ch - 1, "none", "#000000");
        svg.Edge(x + 1, y + 1, cw - 2, ch - 2, "#ffffff", kDarkShadow);
        svg.Edge(x + 2, y + 2, cw - 4, ch - 4, kFace, kShadow);
    } else {
        svg.Edge(x, y, cw, ch, "#ffffff", kDarkShadow);
        svg.Edge(x + 1, y + 1, cw - 2, ch - 2, kFace, kShadow);
    }
    if (w.style & BS_ICON) {
        // The icon sits in the middle, cut to the button.
        const HANDLE handle = reinterpret_cast<HANDLE>(SendMessageW(control, BM_GETIMAGE, IMAGE_ICON, 0));
        if (const Image* icon = Handles().Get<Image>(handle, Kind::Icon)) {
            const int left = std::max(x, x + (cw - icon->width) / 2);
            const int top = std::max(y, y + (ch - icon->height) / 2);
            DrawImage(svg, *icon, left, top, cw, ch, enabled);
        }
        return;
    }
    svg.Text(x + cw / 2, middle, text, "middle", ink, false, cw - 6);
}

void DrawStatic(Svg& svg, HWND control, const Window& w, const RECT& r, bool enabled) {
    const int x = r.left, y = r.top, cw = r.right - r.left, ch = r.bottom - r.top;
    if (w.style & WS_BORDER) svg.Rect(x, y, cw - 1, ch - 1, "none", "#000000");
    if (w.style & SS_SUNKEN) svg.Edge(x, y, cw, ch, kShadow, "#ffffff");
    const DWORD align = w.style & SS_TYPEMASK;
    const char* ink = enabled ? "#000000" : kGrayText;
    // Text sits at the top unless centred vertically.
    const int baseline = (w.style & SS_CENTERIMAGE) || (w.style & WS_BORDER) ? y + ch / 2 + 4 : y + 10;
    const std::string text = TextOf(control);
    if (align == SS_RIGHT)
        svg.Text(r.right - 1, baseline, text, "end", ink, false, cw);
    else if (align == SS_CENTER)
        svg.Text(x + cw / 2, baseline, text, "middle", ink, false, cw);
    else if (align == SS_LEFT)
        svg.Text(x + ((w.style & WS_BORDER) ? 3 : 0), baseline, text, "start", ink, false, cw);
}

void DrawEdit(Svg& svg, HWND control, const RECT& r, bool enabled) {
    const int x = r.left, y = r.top, cw = r.right - r.left, ch = r.bottom - r.top;
    SunkenField(svg, x, y, cw, ch, enabled ? "#ffffff" : kFace);
    svg.Text(x + 4, y + ch / 2 + 4, TextOf(control), "start", enabled ? "#000000" : kGrayText);
}

void DrawComboBox(Svg& svg, HWND control, const RECT& r, bool enabled) {
    // A closed drop-down list: the field's height comes from the font, not
    // from the template (whose height is that of the open list).
    const int x = r.left, y = r.top, cw = r.right - r.left, ch = 21;
    SunkenField(svg, x, y, cw, ch, enabled ? "#ffffff" : kFace);
    const int bx = x + cw - 2 - 17;
    svg.Rect(bx, y + 2, 17, ch - 4, kFace);
    svg.Edge(bx, y + 2, 17, ch - 4, "#ffffff", kDarkShadow);
    const char* ink = enabled ? "#000000" : kGrayText;
    svg.Raw("<path d=\"M" + std::to_string(bx + 5) + " " + std::to_string(y + 9) + " h7 l-3.5 4 z\" fill=\"" + ink +
            "\"/>\n");
    svg.Text(x + 4, y + ch / 2 + 4, TextOf(control), "start", ink);
}

// A tree view: its visible items, each with its expand button, its image
// and its label, where the tree lays them out.
void DrawTreeItems(Svg& svg, HWND tree, HTREEITEM item, int x, int y, int width, int height, bool enabled) {
    const auto next = [&](HTREEITEM from, UINT relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
    };
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    int imageWidth = 0, imageHeight = 0;
    if (images) ImageList_GetIconSize(images, &imageWidth, &imageHeight);
    for (; item; item = next(item, TVGN_NEXT)) {
        RECT label{};
        std::memcpy(&label, &item, sizeof item);
        if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label))) continue;
        std::u16string text(1024, u'\0');
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE | TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = text.data();
        tv.cchTextMax = static_cast<int>(text.size());
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        text.resize(std::char_traits<char16_t>::length(text.c_str()));
        if (label.top >= height) return;
        const int start = label.left - (images ? imageWidth + 3 : 3);
        const int middle = y + (label.top + label.bottom) / 2;
        if ((GetWindowLongPtrW(tree, GWL_STYLE) & TVS_HASBUTTONS) && tv.cChildren && start >= 19) {
            const int bx = x + start - 14;
            svg.Rect(bx, middle - 4, 9, 9, "#ffffff", kShadow);
            svg.Line(bx + 2, middle, bx + 6, middle, "#000000");
            if (!(tv.state & TVIS_EXPANDED)) svg.Line(bx + 4, middle - 2, bx + 4, middle + 2, "#000000");
        }
        if (const Image* image = images ? ImageListImage(images, tv.iImage) : nullptr)
            DrawImage(svg, *image, x + start, y + label.top + (label.bottom - label.top - image->height) / 2,
                      width - start, image->height, enabled);
        svg.Text(x + label.left + 2, middle + 4, Narrow(text), "start", enabled ? "#000000" : kGrayText);
        if (tv.state & TVIS_EXPANDED) DrawTreeItems(svg, tree, next(item, TVGN_CHILD), x, y, width, height, enabled);
    }
}

void DrawTree(Svg& svg, HWND tree, const RECT& r, bool enabled) {
    const int x = r.left, y = r.top, cw = r.right - r.left, ch = r.bottom - r.top;
    SunkenField(svg, x, y, cw, ch, enabled ? "#ffffff" : kFace);
    const HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    svg.Raw("<svg x=\"" + std::to_string(x + 2) + "\" y=\"" + std::to_string(y + 2) + "\" width=\"" +
            std::to_string(cw - 4) + "\" height=\"" + std::to_string(ch - 4) + "\" overflow=\"hidden\">\n");
    DrawTreeItems(svg, tree, root, 0, 0, cw - 4, ch - 4, enabled);
    svg.Raw("</svg>\n");
}

}  // namespace

std::string DrawDialogSvg(HWND dialog) {
    Window* d = FindWindowObject(dialog);
    if (!d) return {};
    Svg svg;
    const int cw = d->rect.right - d->rect.left, ch = d->rect.bottom - d->rect.top;
    const bool caption = (d->style & WS_CAPTION) == static_cast<DWORD>(WS_CAPTION);
    const bool framed = caption || (d->style & (DS_MODALFRAME | WS_DLGFRAME));
    const int frame = framed ? kFrame : 0, top = frame + (caption ? kCaption : 0);
    const int width = cw + 2 * frame, height = ch + top + frame;
    svg.Rect(0, 0, width, height, kFace);
    if (framed) {
        svg.Edge(0, 0, width, height, kFace, "#000000");
        svg.Edge(1, 1, width - 2, height - 2, "#ffffff", kDarkShadow);
    }
    if (caption) {
        svg.Raw(
            "<defs><linearGradient id=\"caption\"><stop offset=\"0\" stop-color=\"#0a246a\"/>"
            "<stop offset=\"1\" stop-color=\"#a6caf0\"/></linearGradient></defs>\n");
        svg.Rect(frame, frame, cw, kCaption - 1, "url(#caption)");
        svg.Text(frame + 4, frame + 13, TextOf(dialog), "start", "#ffffff", true);
        if (d->style & WS_SYSMENU) {
            // The close button.
            const int bx = frame + cw - 18, by = frame + 2;
            svg.Rect(bx, by, 16, 14, kFace);
            svg.Edge(bx, by, 16, 14, "#ffffff", kDarkShadow);
            svg.Raw("<path d=\"M" + std::to_string(bx + 4) + " " + std::to_string(by + 3) +
                    " l8 8 m0 -8 l-8 8\" stroke=\"#000\" stroke-width=\"1.5\"/>\n");
        }
    }
    svg.Raw("<g transform=\"translate(" + std::to_string(frame) + "," + std::to_string(top) + ")\">\n");
    for (HWND control : d->children) {
        Window* w = FindWindowObject(control);
        if (!w || !(w->style & WS_VISIBLE)) continue;
        const bool enabled = !(w->style & WS_DISABLED);
        const std::u16string& cls = w->windowClass->name;
        svg.Raw("<g id=\"control-" + std::to_string(w->id) + "\">\n");
        if (SameNameIgnoringCase(cls, u"BUTTON"))
            DrawButton(svg, control, *w, w->rect, enabled);
        else if (SameNameIgnoringCase(cls, u"STATIC"))
            DrawStatic(svg, control, *w, w->rect, enabled);
        else if (SameNameIgnoringCase(cls, u"EDIT"))
            DrawEdit(svg, control, w->rect, enabled);
        else if (SameNameIgnoringCase(cls, u"COMBOBOX"))
            DrawComboBox(svg, control, w->rect, enabled);
        else if (SameNameIgnoringCase(cls, u"SysTreeView32"))
            DrawTree(svg, control, w->rect, enabled);
        else
            svg.Rect(w->rect.left, w->rect.top, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top, "none",
                     kShadow);
        svg.Raw("</g>\n");
    }
    svg.Raw("</g>\n");
    return svg.Finish(width, height);
}

}  // namespace orbalis::win32

namespace orbalis::win32 {

std::string DrawTemplateSvg(HINSTANCE module, int id, std::string* error) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!resource) {
        *error = "there is no dialog " + std::to_string(id);
        return {};
    }
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
    DialogTemplate t;
    if (!ParseDialogTemplate(data, SizeofResource(module, resource), &t, error)) return {};
    // A child template (one that sits inside another dialog) is drawn on its own.
    if (t.style & WS_CHILD) t.style = (t.style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
    HWND dialog = CreateDialogFromTemplate(module, t, id, nullptr, nullptr, 0);
    if (!dialog) {
        *error = "dialog " + std::to_string(id) + " could not be made";
        return {};
    }
    std::string svg = DrawDialogSvg(dialog);
    DestroyWindow(dialog);
    return svg;
}

}  // namespace orbalis::win32
