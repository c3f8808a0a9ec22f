// SysTreeView32: a tree of items with texts, images and item values, laid out
// one row per visible item, with hit testing and the click notification.
//
// Layout, in client pixels: rows of max(16, image height + 2) from the top;
// an item of depth d (roots 0) starts at d x 19, one step more with
// TVS_LINESATROOT; the expand button takes the 19 pixels before that start,
// the image (when the tree has an image list) the next image width, and the
// label 3 pixels later, as wide as its text.
#include <algorithm>
#include <cstring>
#include <map>

#include "host/win32/Controls.h"
#include "host/win32/Driver.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

constexpr int kIndent = 19;

struct Item {
    HTREEITEM handle = nullptr;
    Item* parent = nullptr;
    std::vector<std::unique_ptr<Item>> children;
    std::u16string text;
    int image = 0;
    int selectedImage = 0;
    LPARAM param = 0;
    bool expanded = false;
};

struct TreeState : ControlState {
    std::vector<std::unique_ptr<Item>> roots;
    std::map<HTREEITEM, Item*> items;
    HIMAGELIST images = nullptr;
    Item* selected = nullptr;
};

uintptr_t gNextItem = 0x1000;

struct Row {
    Item* item;
    int depth;
};

void Visible(const std::vector<std::unique_ptr<Item>>& list, int depth, std::vector<Row>* rows) {
    for (const auto& item : list) {
        rows->push_back(Row{item.get(), depth});
        if (item->expanded) Visible(item->children, depth + 1, rows);
    }
}

int RowHeight(const TreeState& s) {
    int cx = 0, cy = 0;
    if (s.images && ImageList_GetIconSize(s.images, &cx, &cy)) return std::max(16, cy + 2);
    return 16;
}

int TextWidth(const std::u16string& text) {
    int width = 0;
    for (char16_t c : text) width += c >= 0x2E80 ? 12 : 7;
    return width;
}

// The parts of a row: [indentEnd, start) the button, [start, labelX) the
// image, [labelX, labelEnd) the label.
struct Parts {
    int top, bottom, button, start, labelX, labelEnd;
};

Parts PartsOf(const Window& w, const TreeState& s, const Row& row, int index) {
    Parts p{};
    p.top = index * RowHeight(s);
    p.bottom = p.top + RowHeight(s);
    p.start = row.depth * kIndent + ((w.style & TVS_LINESATROOT) ? kIndent : 0);
    p.button = p.start - kIndent;
    int cx = 0, cy = 0;
    p.labelX = p.start + (s.images && ImageList_GetIconSize(s.images, &cx, &cy) ? cx + 3 : 3);
    p.labelEnd = p.labelX + TextWidth(row.item->text) + 6;
    return p;
}

Item* HitTest(const Window& w, const TreeState& s, POINT pt, UINT* flags) {
    std::vector<Row> rows;
    Visible(s.roots, 0, &rows);
    const int width = w.rect.right - w.rect.left;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Parts p = PartsOf(w, s, rows[i], static_cast<int>(i));
        if (pt.y < p.top || pt.y >= p.bottom) continue;
        const bool hasButton = (w.style & TVS_HASBUTTONS) && !rows[i].item->children.empty() && p.button >= 0;
        if (pt.x < 0 || pt.x >= width)
            *flags = TVHT_NOWHERE;
        else if (pt.x < p.start)
            *flags = hasButton && pt.x >= p.button ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
        else if (pt.x < p.labelX)
            *flags = TVHT_ONITEMICON;
        else if (pt.x < p.labelEnd)
            *flags = TVHT_ONITEMLABEL;
        else
            *flags = TVHT_ONITEMRIGHT;
        return *flags == TVHT_NOWHERE ? nullptr : rows[i].item;
    }
    *flags = TVHT_NOWHERE;
    return nullptr;
}

void Forget(TreeState& s, Item* item) {
    for (auto& child : item->children) Forget(s, child.get());
    if (s.selected == item) s.selected = nullptr;
    s.items.erase(item->handle);
}

void Notify(HWND tree, NMHDR* header, UINT code) {
    Window* w = FindWindowObject(tree);
    if (!w || !w->parent) return;
    header->hwndFrom = tree;
    header->idFrom = static_cast<UINT_PTR>(w->id);
    header->code = code;
    SendMessageW(w->parent, WM_NOTIFY, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(header));
}

void Select(HWND tree, TreeState& s, Item* item, UINT action) {
    if (s.selected == item) return;
    NMTREEVIEWW change{};
    change.action = action;
    change.itemOld.hItem = s.selected ? s.selected->handle : nullptr;
    change.itemOld.lParam = s.selected ? s.selected->param : 0;
    change.itemNew.hItem = item ? item->handle : nullptr;
    change.itemNew.lParam = item ? item->param : 0;
    s.selected = item;
    Notify(tree, &change.hdr, TVN_SELCHANGEDW);
}

std::vector<std::unique_ptr<Item>>& SiblingsOf(TreeState& s, Item* item) {
    return item->parent ? item->parent->children : s.roots;
}

void Fill(Item& item, const TVITEMW& from) {
    if ((from.mask & TVIF_TEXT) && from.pszText) item.text = from.pszText;
    if (from.mask & TVIF_IMAGE) item.image = from.iImage;
    if (from.mask & TVIF_SELECTEDIMAGE) item.selectedImage = from.iSelectedImage;
    if (from.mask & TVIF_PARAM) item.param = from.lParam;
    if ((from.mask & TVIF_STATE) && (from.stateMask & TVIS_EXPANDED)) item.expanded = (from.state & TVIS_EXPANDED) != 0;
}

LRESULT Insert(TreeState& s, const TVINSERTSTRUCTW* insert) {
    if (!insert) return 0;
    Item* parent = nullptr;
    if (insert->hParent && insert->hParent != TVI_ROOT) {
        auto it = s.items.find(insert->hParent);
        if (it == s.items.end()) return 0;
        parent = it->second;
    }
    auto& siblings = parent ? parent->children : s.roots;
    size_t at = siblings.size();
    if (insert->hInsertAfter == TVI_FIRST) {
        at = 0;
    } else if (insert->hInsertAfter && insert->hInsertAfter != TVI_LAST) {
        for (size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i]->handle == insert->hInsertAfter) at = i + 1;
    }
    auto item = std::make_unique<Item>();
    item->parent = parent;
    item->handle = reinterpret_cast<HTREEITEM>(gNextItem++);
    Fill(*item, insert->item);
    Item* raw = item.get();
    siblings.insert(siblings.begin() + static_cast<ptrdiff_t>(at), std::move(item));
    s.items[raw->handle] = raw;
    return reinterpret_cast<LRESULT>(raw->handle);
}

}  // namespace

LRESULT CALLBACK TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) return 0;
    if (message == WM_NCCREATE) w->control = std::make_unique<TreeState>();
    auto* s = dynamic_cast<TreeState*>(w->control.get());
    if (!s) return DefWindowProcW(window, message, wParam, lParam);
    auto find = [&](LPARAM handle) -> Item* {
        auto it = s->items.find(reinterpret_cast<HTREEITEM>(handle));
        return it == s->items.end() ? nullptr : it->second;
    };
    switch (message) {
    case TVM_INSERTITEMW: return Insert(*s, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam));
    case TVM_DELETEITEM: {
        if (!lParam || reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT) {
            s->roots.clear();
            s->items.clear();
            s->selected = nullptr;
            return TRUE;
        }
        Item* item = find(lParam);
        if (!item) return FALSE;
        Forget(*s, item);
        auto& siblings = SiblingsOf(*s, item);
        siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](const auto& p) { return p.get() == item; }));
        return TRUE;
    }
    case TVM_EXPAND: {
        Item* item = find(lParam);
        if (!item) return FALSE;
        const UINT action = static_cast<UINT>(wParam) & 3;
        item->expanded = action == TVE_EXPAND || (action == TVE_TOGGLE && !item->expanded);
        return TRUE;
    }
    case TVM_GETCOUNT: return static_cast<LRESULT>(s->items.size());
    case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(s->images);
    case TVM_SETIMAGELIST: {
        // The tree uses the list; its owner still destroys it.
        HIMAGELIST previous = s->images;
        if (wParam == TVSIL_NORMAL) s->images = reinterpret_cast<HIMAGELIST>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETNEXTITEM: {
        Item* item = find(lParam);
        const auto handleOf = [](Item* i) { return reinterpret_cast<LRESULT>(i ? i->handle : nullptr); };
        switch (wParam) {
        case TVGN_ROOT: return handleOf(s->roots.empty() ? nullptr : s->roots.front().get());
        case TVGN_CARET: return handleOf(s->selected);
        case TVGN_CHILD: return handleOf(item && !item->children.empty() ? item->children.front().get() : nullptr);
        case TVGN_PARENT: return handleOf(item ? item->parent : nullptr);
        case TVGN_NEXT:
        case TVGN_PREVIOUS: {
            if (!item) return 0;
            auto& siblings = SiblingsOf(*s, item);
            auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& p) { return p.get() == item; });
            if (wParam == TVGN_NEXT) return handleOf(it + 1 < siblings.end() ? (it + 1)->get() : nullptr);
            return handleOf(it > siblings.begin() ? (it - 1)->get() : nullptr);
        }
        }
        return 0;
    }
    case TVM_SELECTITEM: {
        if (wParam != TVGN_CARET) return FALSE;
        Item* item = lParam ? find(lParam) : nullptr;
        if (lParam && !item) return FALSE;
        Select(window, *s, item, 0);
        return TRUE;
    }
    case TVM_GETITEMW:
    case TVM_SETITEMW: {
        auto* out = reinterpret_cast<TVITEMW*>(lParam);
        Item* item = out ? find(reinterpret_cast<LPARAM>(out->hItem)) : nullptr;
        if (!item) return FALSE;
        if (message == TVM_SETITEMW) {
            Fill(*item, *out);
            return TRUE;
        }
        if ((out->mask & TVIF_TEXT) && out->pszText) CopyOut(item->text, out->pszText, out->cchTextMax);
        if (out->mask & TVIF_IMAGE) out->iImage = item->image;
        if (out->mask & TVIF_SELECTEDIMAGE) out->iSelectedImage = item->selectedImage;
        if (out->mask & TVIF_PARAM) out->lParam = item->param;
        if (out->mask & TVIF_CHILDREN) out->cChildren = item->children.empty() ? 0 : 1;
        if (out->mask & TVIF_STATE)
            out->state = (item->expanded ? TVIS_EXPANDED : 0) | (s->selected == item ? TVIS_SELECTED : 0);
        return TRUE;
    }
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info) return 0;
        Item* item = HitTest(*w, *s, info->pt, &info->flags);
        info->hItem = item ? item->handle : nullptr;
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_GETITEMRECT: {
        // In: the item's handle in the rectangle's place. Out: its label
        // (wParam true) or its whole row.
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect) return FALSE;
        HTREEITEM handle;
        std::memcpy(&handle, rect, sizeof handle);
        std::vector<Row> rows;
        Visible(s->roots, 0, &rows);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].item->handle != handle) continue;
            const Parts p = PartsOf(*w, *s, rows[i], static_cast<int>(i));
            *rect = wParam ? RECT{p.labelX, p.top, p.labelEnd, p.bottom}
                           : RECT{0, p.top, w->rect.right - w->rect.left, p.bottom};
            return TRUE;
        }
        return FALSE;
    }
    case WM_LBUTTONDOWN: {
        SetFocus(window);
        const POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        UINT flags = 0;
        Item* item = HitTest(*w, *s, pt, &flags);
        if (item && flags == TVHT_ONITEMBUTTON)
            item->expanded = !item->expanded;
        else if (item && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT)))
            Select(window, *s, item, TVC_BYMOUSE);
        NMHDR click{};
        Notify(window, &click, NM_CLICK);
        return 0;
    }
    case WM_DESTROY:
        s->roots.clear();
        s->items.clear();
        s->selected = nullptr;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::string UserClickTreeItem(HWND tree, HTREEITEM item, UINT part) {
    Window* w = FindWindowObject(tree);
    auto* s = w ? dynamic_cast<TreeState*>(w->control.get()) : nullptr;
    if (!s) return "not a tree view";
    if (!EffectivelyVisible(tree)) return "the tree is hidden";
    if (!EffectivelyEnabled(tree)) return "the tree is disabled";
    std::vector<Row> rows;
    Visible(s->roots, 0, &rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].item->handle != item) continue;
        const Parts p = PartsOf(*w, *s, rows[i], static_cast<int>(i));
        int x;
        switch (part) {
        case TVHT_ONITEMBUTTON: x = p.button + kIndent / 2; break;
        case TVHT_ONITEMINDENT: x = std::max(0, p.button) / 2; break;
        case TVHT_ONITEMICON: x = (p.start + p.labelX) / 2; break;
        case TVHT_ONITEMRIGHT: x = p.labelEnd + 2; break;
        default: x = (p.labelX + p.labelEnd) / 2;
        }
        // The mouse goes there first, then presses and releases.
        POINT screen{x, (p.top + p.bottom) / 2};
        ClientToScreen(tree, &screen);
        SetCursorPos(screen.x, screen.y);
        const LPARAM at = MAKELPARAM(x, (p.top + p.bottom) / 2);
        SendMessageW(tree, WM_LBUTTONDOWN, 0, at);
        if (IsWindow(tree)) SendMessageW(tree, WM_LBUTTONUP, 0, at);
        return {};
    }
    return "the item is not shown in the tree";
}

}  // namespace orbalis::win32
