// The layers that the title commands change: top-level layers, the direct
// sublayers of the current layer, or every layer, optionally leaving hidden
// layers out; and the two dialog controls that choose them.
#pragma once

#include <cstdint>
#include <functional>

#include "resources/ResourceIds.h"
#include "sdk/HostTypes.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

// The zero-based index of the chosen item in the target list.
enum LayerTargetKind : int32_t {
    TopLevel = 0,
    SublayersOfCurrent = 1,
    AllLayers = 2,
};

using LayerAction = std::function<HostErr(HostLayer layer)>;

// Passes each target layer once to `action`, in the host's order (pre-order
// for AllLayers), and stops at the first non-zero code, from the host or from
// the action, returning it. A kind outside the three visits nothing. With
// `visibleLayersOnly` set, a layer whose own visibility is off is skipped;
// its sublayers are judged by their own.
HostErr ForEachTargetLayer(int32_t kind, int32_t visibleLayersOnly, const LayerAction& action);

// The target list and the exclude-hidden box, shared by the numbering and
// the replacement dialogs.
inline constexpr int kTargetListId = IDC_TARGET_LIST;
inline constexpr int kExcludeHiddenBoxId = IDC_EXCLUDE_HIDDEN;

void FillTargetControls(HWND dialog, int32_t kind, int32_t visibleLayersOnly);
// The selected item's index becomes the kind; with no item selected (a
// stored kind the list does not have) the kind keeps its value.
void ReadTargetControls(HWND dialog, int32_t* kind, int32_t* visibleLayersOnly);

}  // namespace orbalis
