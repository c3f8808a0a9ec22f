#include "tools/workbench/WindowState.h"

#include <cstdlib>

#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"
#include "host/win32/Images.h"
#include "host/win32/Windows.h"

namespace orbalis::workbench {
namespace {

using win32::FindWindowObject;
using win32::Narrow;
using win32::SameNameIgnoringCase;
using win32::Window;

std::string TextOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), n + 1)));
    return Narrow(text);
}

std::string KindOf(const Window& w) {
    const std::u16string& cls = w.windowClass->name;
    if (SameNameIgnoringCase(cls, u"BUTTON")) {
        switch (w.style & BS_TYPEMASK) {
        case BS_DEFPUSHBUTTON: return "default";
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return "check";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return "radio";
        case BS_GROUPBOX: return "group";
        default: return "button";
        }
    }
    if (SameNameIgnoringCase(cls, u"STATIC")) {
        const DWORD type = w.style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) return "image";
        return "label";
    }
    if (SameNameIgnoringCase(cls, u"EDIT")) return "edit";
    if (SameNameIgnoringCase(cls, u"COMBOBOX")) return "combo";
    if (SameNameIgnoringCase(cls, u"SysTreeView32")) return "tree";
    return "other";
}

// An image as the page draws it into a canvas: its size and its pixels as
// RGBA bytes, top row first, in base64.
nlohmann::json ImageJson(const win32::Image* image) {
    if (!image || image->width <= 0 || image->height <= 0) return nullptr;
    std::string bytes;
    bytes.reserve(image->pixels.size() * 4);
    for (const uint32_t pixel : image->pixels) {
        bytes += static_cast<char>(pixel >> 16 & 0xFF);
        bytes += static_cast<char>(pixel >> 8 & 0xFF);
        bytes += static_cast<char>(pixel & 0xFF);
        bytes += static_cast<char>(pixel >> 24 & 0xFF);
    }
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        uint32_t n = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
        if (left > 1) n |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
        if (left > 2) n |= static_cast<uint8_t>(bytes[i + 2]);
        text += kDigits[n >> 18 & 63];
        text += kDigits[n >> 12 & 63];
        text += left > 1 ? kDigits[n >> 6 & 63] : '=';
        text += left > 2 ? kDigits[n & 63] : '=';
    }
    return {{"width", image->width}, {"height", image->height}, {"rgba", text}};
}

// The icon or bitmap a button or a static control shows.
const win32::Image* ControlImage(HWND control, bool button) {
    const UINT get = button ? BM_GETIMAGE : STM_GETIMAGE;
    for (const auto& [type, kind] :
         {std::pair{IMAGE_ICON, &win32::Kind::Icon}, std::pair{IMAGE_BITMAP, &win32::Kind::Bitmap}}) {
        const auto handle = reinterpret_cast<HANDLE>(SendMessageW(control, get, type, 0));
        if (const auto* image = win32::Handles().Get<win32::Image>(handle, *kind)) return image;
    }
    return nullptr;
}

void TreeItems(HWND tree, HTREEITEM parent, nlohmann::json& out, int depth) {
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (int guard = 0; item && guard < 10000; ++guard) {
        char16_t buffer[512] = {};
        TVITEMW info{};
        info.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN | TVIF_IMAGE;
        info.hItem = item;
        info.pszText = buffer;
        info.cchTextMax = 512;
        info.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
        out.push_back({{"item", std::to_string(reinterpret_cast<uintptr_t>(item))},
                       {"text", Narrow(buffer)},
                       {"depth", depth},
                       {"selected", (info.state & TVIS_SELECTED) != 0},
                       {"expanded", (info.state & TVIS_EXPANDED) != 0},
                       {"children", info.cChildren != 0},
                       {"image", images ? info.iImage : -1}});
        if (info.state & TVIS_EXPANDED) TreeItems(tree, item, out, depth + 1);
        item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
}

void Controls(HWND window, int dx, int dy, nlohmann::json& out) {
    const Window* w = FindWindowObject(window);
    if (!w) return;
    const HWND focus = GetFocus();
    for (HWND child : w->children) {
        const Window* c = FindWindowObject(child);
        if (!c) continue;
        const RECT& r = c->rect;
        if (c->dialog) {
            if (c->style & WS_VISIBLE) Controls(child, dx + r.left, dy + r.top, out);
            continue;
        }
        nlohmann::json control = {
            {"window", HandleText(window)},
            {"control", HandleText(child)},
            {"id", c->id},
            {"kind", KindOf(*c)},
            {"x", dx + r.left},
            {"y", dy + r.top},
            {"width", r.right - r.left},
            {"height", r.bottom - r.top},
            {"text", TextOf(child)},
            {"visible", (c->style & WS_VISIBLE) != 0},
            {"enabled", win32::EffectivelyEnabled(child) != 0},
            {"focus", child == focus},
        };
        const std::string kind = control["kind"];
        if (kind == "check" || kind == "radio")
            control["checked"] = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (kind == "label")
            control["align"] = (c->style & SS_TYPEMASK) == SS_CENTER  ? "center"
                               : (c->style & SS_TYPEMASK) == SS_RIGHT ? "right"
                                                                      : "left";
        if (kind == "label") control["clickable"] = (c->style & SS_NOTIFY) != 0;
        if (kind == "edit") {
            DWORD start = 0, end = 0;
            SendMessageW(child, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            control["selection"] = {start, end};
            control["number"] = (c->style & ES_NUMBER) != 0;
        }
        if (kind == "combo") {
            nlohmann::json rows = nlohmann::json::array();
            const auto count = static_cast<int>(SendMessageW(child, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count && i < 1000; ++i) {
                const auto length = static_cast<int>(SendMessageW(child, CB_GETLBTEXTLEN, i, 0));
                std::u16string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, u'\0');
                SendMessageW(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
                text.resize(std::char_traits<char16_t>::length(text.c_str()));
                rows.push_back(Narrow(text));
            }
            control["rows"] = rows;
            control["row"] = static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0));
        }
        if (kind == "tree") {
            nlohmann::json items = nlohmann::json::array();
            TreeItems(child, nullptr, items, 0);
            control["items"] = items;
            // The item images, once for the tree; items name them by index.
            nlohmann::json icons = nlohmann::json::array();
            if (const auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(child, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)))
                for (int i = 0; i < ImageList_GetImageCount(list) && i < 64; ++i)
                    icons.push_back(ImageJson(win32::ImageListImage(list, i)));
            control["icons"] = icons;
        }
        if (kind == "button" || kind == "image" || kind == "default") {
            const bool showsImage = kind == "image" || (c->style & (BS_ICON | BS_BITMAP)) != 0;
            control["image"] = showsImage ? ImageJson(ControlImage(child, kind != "image")) : nullptr;
            control["hasImage"] = showsImage;
        }
        out.push_back(std::move(control));
    }
}

HTREEITEM FindIn(HWND tree, HTREEITEM parent, uintptr_t wanted, int depth) {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (int guard = 0; item && guard < 10000 && depth < 64; ++guard) {
        if (reinterpret_cast<uintptr_t>(item) == wanted) return item;
        if (HTREEITEM found = FindIn(tree, item, wanted, depth + 1)) return found;
        item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return nullptr;
}

}  // namespace

HTREEITEM FindTreeItem(HWND tree, const std::string& handle) {
    if (handle.empty() || handle.size() > 20 || handle.find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    return FindIn(tree, nullptr, static_cast<uintptr_t>(std::strtoull(handle.c_str(), nullptr, 10)), 0);
}

std::string HandleText(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

HWND HandleFrom(const std::string& text) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text.c_str(), nullptr, 10)));
    return IsWindow(window) ? window : nullptr;
}

bool IsWithin(HWND window, HWND top) {
    for (int guard = 0; window && guard < 64; ++guard) {
        if (window == top) return true;
        window = GetParent(window);
    }
    return false;
}

nlohmann::json DescribeWindow(HWND window) {
    const Window* w = FindWindowObject(window);
    if (!w) return nullptr;
    nlohmann::json controls = nlohmann::json::array();
    Controls(window, 0, 0, controls);
    return {
        {"window", HandleText(window)},
        {"caption", TextOf(window)},
        {"width", w->rect.right - w->rect.left},
        {"height", w->rect.bottom - w->rect.top},
        {"template", win32::DialogTemplateId(window)},
        {"kind", win32::DialogKind(window)},
        {"closable", (w->style & WS_SYSMENU) != 0},
        {"controls", controls},
    };
}

}  // namespace orbalis::workbench
