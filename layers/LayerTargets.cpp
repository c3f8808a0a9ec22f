#include "layers/LayerTargets.h"

#include "frame/HostSuites.h"

namespace orbalis {
namespace {

HostErr IsVisible(HostLayer layer, bool* visible) {
    HostBool on = 0;
    if (HostErr err = sLayer->GetLayerVisible(layer, &on)) return err;
    *visible = on != 0;
    return 0;
}

HostErr VisitTopLevel(bool visibleOnly, const LayerAction& action) {
    int32_t count = 0;
    if (HostErr err = sLayer->CountLayers(&count)) return err;
    for (int32_t i = 0; i < count; ++i) {
        HostLayer layer = nullptr;
        if (HostErr err = sLayer->GetNthLayer(i, &layer)) return err;
        if (visibleOnly) {
            bool visible = false;
            if (HostErr err = IsVisible(layer, &visible)) return err;
            if (!visible) continue;
        }
        if (HostErr err = action(layer)) return err;
    }
    return 0;
}

HostErr VisitSublayersOfCurrent(bool visibleOnly, const LayerAction& action) {
    HostLayer current = nullptr;
    if (HostErr err = sLayer->GetCurrentLayer(&current)) return err;
    HostLayer candidate = nullptr;
    if (HostErr err = sLayer->GetLayerFirstChild(current, &candidate)) return err;
    while (candidate) {
        bool visible = false;
        if (HostErr err = IsVisible(candidate, &visible)) return err;
        if (!visibleOnly || visible) {
            if (HostErr err = action(candidate)) return err;
        }
        // The next layer outside the candidate is its next sibling, or, after
        // the last sublayer, a layer beyond the current one.
        HostLayer next = nullptr;
        if (HostErr err = sLayer->GetNextNonChildPreorderLayer(candidate, &next)) return err;
        if (!next) return 0;
        HostLayer parent = nullptr;
        if (HostErr err = sLayer->GetLayerParent(next, &parent)) return err;
        if (parent != current) return 0;
        candidate = next;
    }
    return 0;
}

HostErr VisitAll(bool visibleOnly, const LayerAction& action) {
    HostLayer candidate = nullptr;
    if (HostErr err = sLayer->GetFirstLayer(&candidate)) return err;
    while (candidate) {
        bool visible = false;
        if (HostErr err = IsVisible(candidate, &visible)) return err;
        if (!visibleOnly || visible) {
            if (HostErr err = action(candidate)) return err;
        }
        if (HostErr err = sLayer->GetNextPreorderLayer(candidate, &candidate)) return err;
    }
    return 0;
}

}  // namespace

HostErr ForEachTargetLayer(int32_t kind, int32_t visibleLayersOnly, const LayerAction& action) {
    const bool visibleOnly = visibleLayersOnly != 0;
    switch (kind) {
    case TopLevel: return VisitTopLevel(visibleOnly, action);
    case SublayersOfCurrent: return VisitSublayersOfCurrent(visibleOnly, action);
    case AllLayers: return VisitAll(visibleOnly, action);
    default: return 0;
    }
}

void FillTargetControls(HWND dialog, int32_t kind, int32_t visibleLayersOnly) {
    static const char16_t* const kItems[] = {
        u"第一階層のレイヤー",
        u"現在のレイヤー直下のサブレイヤー",
        u"全てのレイヤー(サブレイヤー含む)",
    };
    for (const char16_t* item : kItems)
        SendDlgItemMessageW(dialog, kTargetListId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageW(dialog, kTargetListId, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    CheckDlgButton(dialog, kExcludeHiddenBoxId, visibleLayersOnly ? BST_CHECKED : BST_UNCHECKED);
}

void ReadTargetControls(HWND dialog, int32_t* kind, int32_t* visibleLayersOnly) {
    const LRESULT selected = SendDlgItemMessageW(dialog, kTargetListId, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) *kind = static_cast<int32_t>(selected);
    *visibleLayersOnly = IsDlgButtonChecked(dialog, kExcludeHiddenBoxId) == BST_CHECKED ? 1 : 0;
}

}  // namespace orbalis
