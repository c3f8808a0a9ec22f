#include "panels/MoveLayerPanel.h"

#include <functional>

#include "frame/FilePath.h"
#include "frame/UserAlerts.h"
#include "frame/ArtSet.h"
#include "resources/ResourceIds.h"

namespace orbalis {
namespace {

constexpr const char* kTargetMissing = "指定されたレイヤーは現在のドキュメント上にありません";
constexpr const char* kNothingSelected = "オブジェクトが選択されていません";
constexpr const char* kMoveFailed = "エラーにより操作を完了できませんでした";

constexpr int kLayerImage = 0;
constexpr int kDocumentImage = 2;

HWND CreateChild(HWND parent, HINSTANCE instance, HFONT font, const char16_t* className, const char16_t* text,
                 DWORD style, int x, int y, int width, int height) {
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                 nullptr, instance, nullptr);
    if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return child;
}

HFONT CreatePanelFont() {
    LOGFONTW font{};
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) return nullptr;
    font.lfWeight = FW_NORMAL;
    return CreateFontIndirectW(&font);
}

std::u16string LayerTitle(HostLayer layer, HostErr* err) {
    try {
        ai::UnicodeString title;
        if ((*err = sLayer->GetLayerTitle(layer, title.handle()))) return {};
        return title.utf16();
    } catch (const ai::Error& e) {
        *err = e.code;
        return {};
    }
}

// True when `group` and everything inside it, through groups and compound
// paths, carries the selected attribute.
// Whether the object and everything inside it carry the selected attribute;
// a host error is returned.
HostErr WhollySelected(HostArt art, bool* wholly) {
    *wholly = false;
    int32_t selected = 0;
    if (HostErr err = sArt->GetArtUserAttr(art, kHostArtSelected, &selected)) return err;
    if (!selected) return 0;
    int32_t type = 0;
    if (HostErr err = sArt->GetArtType(art, &type)) return err;
    if (type != kHostGroupArt && type != kHostCompoundPathArt) {
        *wholly = true;
        return 0;
    }
    HostArt child = nullptr;
    if (HostErr err = sArt->GetArtFirstChild(art, &child)) return err;
    while (child) {
        bool childWholly = false;
        if (HostErr err = WhollySelected(child, &childWholly)) return err;
        if (!childWholly) return 0;
        if (HostErr err = sArt->GetArtSibling(child, &child)) return err;
    }
    *wholly = true;
    return 0;
}

HostErr LayerExists(HostLayer target, bool* found) {
    *found = false;
    HostLayer layer = nullptr;
    if (HostErr err = sLayer->GetFirstLayer(&layer)) return err;
    while (layer) {
        if (layer == target) {
            *found = true;
            return 0;
        }
        if (HostErr err = sLayer->GetNextPreorderLayer(layer, &layer)) return err;
    }
    return 0;
}

std::u16string DocumentName() {
    try {
        ai::FilePath file;
        if (sDocument->GetDocumentFileSpecification(file.handle())) return {};
        ai::UnicodeString name;
        if (sFilePath->GetFileName(file.handle(), 1, name.handle())) return {};
        return name.utf16();
    } catch (const ai::Error&) {
        return {};
    }
}

// Adds an item at the end of `parent`'s children; null when the tree
// refused it. The buffer holds the whole text, however long.
HTREEITEM InsertItem(HWND tree, HTREEITEM parent, std::u16string text, int image) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = WideText(text.data());
    insert.item.cchTextMax = static_cast<int>(text.size() + 1);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

// ---- Controls.

MoveLayerControls::~MoveLayerControls() {
    if (images) ImageList_Destroy(images);
    if (font) DeleteObject(font);
}

void MoveLayerControls::Create(HWND parent, HINSTANCE module) {
    window = parent;
    instance = module;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    font = CreatePanelFont();
    tree = CreateChild(parent, instance, font, u"SysTreeView32", u"",
                       TVS_HASBUTTONS | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT, 2, 2, 230, 120);
    checkBox = CreateChild(parent, instance, font, u"BUTTON", u"", BS_AUTOCHECKBOX, 7, 100, 13, 13);
    checkLabel = CreateChild(parent, instance, font, u"STATIC", u"複数選択時はグループ化", SS_NOTIFY, 22, 100, 148, 16);
    refreshButton =
        CreateChild(parent, instance, font, u"BUTTON", u"レイヤーリストを更新", BS_PUSHBUTTON, 4, 130, 80, 24);

    images = ImageList_Create(20, 20, ILC_COLOR24, 3, 0);
    for (int id : {IDB_LAYERS, IDB_FOLDER, IDB_DOCUMENT}) {
        auto bitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        if (!bitmap) continue;
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    if (images && ImageList_GetImageCount(images) > 2 && tree)
        SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

void MoveLayerControls::Layout(int width, int height) {
    const int top = height - 55;
    if (tree) MoveWindow(tree, 4, 4, width - 8, height - 55, TRUE);
    if (checkBox) MoveWindow(checkBox, 6, top + 10, 13, 13, TRUE);
    if (checkLabel) MoveWindow(checkLabel, 22, top + 8, 150, 16, TRUE);
    if (refreshButton) MoveWindow(refreshButton, 4, top + 30, 150, 22, TRUE);
}

void MoveLayerControls::OnTreeClick() {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(tree, &cursor);
    TVHITTESTINFO hit{};
    hit.pt = cursor;
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || !(hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT))) return;
    auto it = itemLayers.find(hit.hItem);
    if (it != itemLayers.end()) owner->MoveToLayer(it->second);
}

bool MoveLayerControls::HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || !tree || header->hwndFrom != tree) return false;
        if (header->code == NM_CLICK) OnTreeClick();
        CNdPanel::FocusHostWindow();
        *result = 0;
        return true;
    }
    if (message != WM_COMMAND || !lParam) return false;
    const auto from = reinterpret_cast<HWND>(lParam);
    if (from == checkBox && HIWORD(wParam) == BN_CLICKED) {
        owner->groupOption = SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    } else if (from == checkLabel && HIWORD(wParam) == STN_CLICKED) {
        if (IsWindowEnabled(checkBox)) {
            const bool checked = SendMessageW(checkBox, BM_GETCHECK, 0, 0) != BST_CHECKED;
            SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            owner->groupOption = checked;
        }
        *result = 0;
        return true;
    } else if (from == refreshButton && HIWORD(wParam) == BN_CLICKED) {
        owner->Refresh();
    } else {
        return false;
    }
    CNdPanel::FocusHostWindow();
    *result = 0;
    return true;
}

// ---- Panel.

CMoveLayerPanel::CMoveLayerPanel(HostPluginRef ref)
    : CNdPanel(ref), controls(std::make_unique<MoveLayerControls>(this)) {}

CMoveLayerPanel::~CMoveLayerPanel() {
    // The controls' windows go with the panel's window in the base's
    // tear-down; the font and images go here, once nothing can draw with them.
    DestroyPanel();
    controls.reset();
}

HostErr CMoveLayerPanel::InitParameters() {
    panelId.emplace("NdOrbalis1.5MoveLayerPanelID");
    panelTitle.emplace("レイヤー間移動");
    minSize = HostPanelSize{160, 144};
    resizable = 1;
    stateCount = 1;
    return 0;
}

HostErr CMoveLayerPanel::OnWindowCreated() {
    controls->Create(window, moduleHandle);
    return CNdPanel::OnWindowCreated();
}

void CMoveLayerPanel::OnThemeChanged() {
    CNdPanel::OnThemeChanged();
    SetPanelIcon(sUserInterfaceTheme && sUserInterfaceTheme->IsDarkTheme() ? IDR_MOVE_LAYER_LIGHT
                                                                           : IDR_MOVE_LAYER_DARK);
}

void CMoveLayerPanel::OnSizeChanged() {
    HostPanelSize size{};
    if (!sPanel || !panelRef || sPanel->GetSize(panelRef, &size)) return;
    controls->Layout(static_cast<int>(size.width), static_cast<int>(size.height));
}

bool CMoveLayerPanel::HandleMessage(LRESULT* result, HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    // Between an unload and a reload the host's suites are not held: the
    // panel's controls stay on screen but do nothing.
    if (!sPanel) return false;
    if (controls->HandleMessage(result, message, wParam, lParam)) return true;
    return CNdPanel::HandleMessage(result, w, message, wParam, lParam);
}

void CMoveLayerPanel::OnDocumentChanged() {
    int32_t count = 0;
    if (!sLayer || sLayer->CountLayers(&count) || count <= 0 || !controls->tree) return;
    HostDocument current = nullptr;
    if (sDocument->GetDocument(&current)) return;
    EnableWindow(controls->tree, current && current == listedDocument);
}

HostErr CMoveLayerPanel::AddSublayers(LayerNode& node) {
    HostLayer child = nullptr;
    if (HostErr err = sLayer->GetLayerFirstChild(node.layer, &child)) return err;
    while (child) {
        HostErr err = 0;
        LayerNode sub{child, LayerTitle(child, &err), {}};
        if (err) return err;
        if ((err = AddSublayers(sub))) return err;
        layerTitles[child] = sub.title;
        node.children.push_back(std::move(sub));
        HostLayer next = nullptr;
        if ((err = sLayer->GetNextNonChildPreorderLayer(child, &next))) return err;
        if (!next) break;
        HostLayer parent = nullptr;
        if ((err = sLayer->GetLayerParent(next, &parent))) return err;
        if (parent != node.layer) break;
        child = next;
    }
    return 0;
}

HostErr CMoveLayerPanel::RebuildLayerList() {
    layerList.clear();
    layerTitles.clear();
    HostLayer layer = nullptr;
    if (HostErr err = sLayer->GetFirstLayer(&layer)) return err;
    while (layer) {
        HostErr err = 0;
        LayerNode node{layer, LayerTitle(layer, &err), {}};
        if (err) return err;
        if ((err = AddSublayers(node))) return err;
        layerTitles[layer] = node.title;
        layerList.push_back(std::move(node));
        if ((err = sLayer->GetNextLayer(layer, &layer))) return err;
    }
    return sDocument->GetDocument(&listedDocument);
}

void CMoveLayerPanel::InsertItems(HTREEITEM parent, const std::vector<LayerNode>& nodes) {
    for (const LayerNode& node : nodes) {
        HTREEITEM item = InsertItem(controls->tree, parent, node.title, kLayerImage);
        if (!item) continue;
        controls->itemLayers[item] = node.layer;
        InsertItems(item, node.children);
    }
}

void CMoveLayerPanel::Refresh() {
    HWND tree = controls->tree;
    if (!tree || !sLayer) return;
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    controls->itemLayers.clear();
    if (RebuildLayerList() || layerList.empty()) return;

    HTREEITEM root = InsertItem(tree, TVI_ROOT, DocumentName(), kDocumentImage);
    if (!root) return;
    InsertItems(root, layerList);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    EnableWindow(tree, TRUE);
}

HostErr CMoveLayerPanel::MoveToLayer(HostLayer target) {
    if (!sLayer) return 0;
    try {
        return MoveSelection(target);
    } catch (const ai::Error& e) {
        return e.code;
    }
}

HostErr CMoveLayerPanel::MoveSelection(HostLayer target) {
    bool found = false;
    if (HostErr err = LayerExists(target, &found); err || !found) {
        ShowAlert(kTargetMissing);
        return 0;
    }
    CArtSet selection;
    if (selection.FillFromSelection() || selection.Count() == 0) {
        ShowAlert(kNothingSelected);
        return 0;
    }
    HostArt layerGroup = nullptr;
    if (HostErr err = sArt->GetFirstArtOfLayer(target, &layerGroup)) {
        ShowAlert(kMoveFailed);
        return err;
    }
    HostArt newGroup = nullptr;
    if (groupOption) {
        if (HostErr err = sArt->NewArt(kHostGroupArt, kHostPlaceInsideOnBottom, layerGroup, &newGroup)) {
            ShowAlert(kMoveFailed);
            return err;
        }
    }
    int moved = 0;
    HostArt lastMoved = nullptr;
    for (uint64_t i = 0; i < selection.Count(); ++i) {
        HostArt art = selection.At(static_cast<int32_t>(i));
        // A member that cannot be read is not skipped in silence: the move
        // ends with the message, as when moving it fails.
        HostLayer layer = nullptr;
        HostArt ownGroup = nullptr;
        int32_t type = 0;
        bool wholly = true;
        HostErr err = sArt->GetLayerOfArt(art, &layer);
        if (!err && layer == target) continue;
        if (!err) err = sArt->GetFirstArtOfLayer(layer, &ownGroup);
        if (!err && ownGroup == art) continue;
        if (!err) err = sArt->GetArtType(art, &type);
        if (!err && type == kHostGroupArt) err = WhollySelected(art, &wholly);
        // A partly selected group stays; its selected contents are members
        // of the set themselves. Skipping it is not a failure.
        if (!err && !wholly) continue;
        if (!err) err = sArt->ReorderArt(art, kHostPlaceInsideOnBottom, groupOption ? newGroup : layerGroup);
        if (err) {
            ShowAlert(kMoveFailed);
            return err;
        }
        ++moved;
        lastMoved = art;
    }
    if (!groupOption) return 0;
    if (moved == 0) {
        sArt->DisposeArt(newGroup);
    } else if (moved == 1) {
        // One object needs no group of its own: it goes straight into the
        // layer, which is opened for the move and closed again as it was.
        HostBool visible = 1, editable = 1;
        sLayer->GetLayerVisible(target, &visible);
        sLayer->GetLayerEditable(target, &editable);
        if (!visible) sLayer->SetLayerVisible(target, 1);
        if (!editable) sLayer->SetLayerEditable(target, 1);
        sArt->ReorderArt(lastMoved, kHostPlaceInsideOnBottom, layerGroup);
        sArt->DisposeArt(newGroup);
        if (!visible) sLayer->SetLayerVisible(target, 0);
        if (!editable) sLayer->SetLayerEditable(target, 0);
    }
    return 0;
}

}  // namespace orbalis
