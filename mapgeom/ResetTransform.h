// "配置画像サイズをリセット", "テキストを水平垂直に戻す" and "テキストのシアー変形除去":
// undoing the rotation, scaling and shear that labels and images pick up.
// Each works on the selection in the art set's order, ends at the first
// failed host call with its code, and keeps the changes made before it.
#pragma once

#include "sdk/HostTypes.h"

namespace orbalis {

class CResetTransform {
public:
    virtual ~CResetTransform() = default;

    // Gives every selected placed image its natural size and orientation,
    // keeping its bounds' left and top edges, and every selected raster image
    // an unscaled, unrotated matrix with its translation kept.
    HostErr ResetPlacedImageSize();
    // Turns every selected point or area text upright about its anchor (area
    // text, which has none, about the centre of its bounds) and takes the
    // rotation off its characters. Text on a path is left alone.
    HostErr RestoreTextUpright();
    // Takes the scaling and shear out of every selected text's frame matrix,
    // keeping a point text's rotation, and gives the characters the size and
    // scale that keep their height. Text on a path stays on its path. A frame
    // matrix that cannot be inverted, or that mirrors the text, is left alone.
    HostErr RemoveTextShear();
};

}  // namespace orbalis
