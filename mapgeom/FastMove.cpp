#include "mapgeom/FastMove.h"

#include "frame/HostSuites.h"
#include "frame/UserAlerts.h"
#include "frame/ArtSet.h"

namespace orbalis {
namespace {

constexpr const char* kSelectOnePath = "移動先を示すパスを1つだけ選択して実行してください";
constexpr const char* kDeletePathQuestion = "移動完了後に、移動先を示すパスを削除しますか？";
constexpr const char* kIgnoreGuidesQuestion = "ガイドを無視しますか？";

// Paths, compound paths' members and groups' members are moved one by one;
// these kinds are moved as a whole.
bool MovedWhole(int32_t type) {
    return type == kHostPlacedArt || (type >= kHostRasterArt && type <= kHostLegacyTextArt);
}

// Transform objects, fill gradients, fill patterns, stroke patterns and children.
constexpr int32_t kMoveFlags = kHostTransformObjects | kHostTransformFillGradients | kHostTransformFillPatterns |
                               kHostTransformStrokePatterns | kHostTransformChildren;

}  // namespace

HostErr CFastMove::FindDestinationPath() {
    CArtSet selection;
    if (HostErr err = selection.FillFromSelection()) return err;
    HostArt found = nullptr;
    for (uint64_t i = 0; i < selection.Count(); ++i) {
        HostArt art = selection.At(static_cast<int32_t>(i));
        int32_t type = kHostUnknownArt;
        if (HostErr err = sArt->GetArtType(art, &type)) {
            ShowAlert(kSelectOnePath);
            return err;
        }
        if (type == kHostGroupArt) continue;
        if (type != kHostPathArt || found) return 0;  // no result
        found = art;
    }
    destinationPath = found;
    return 0;
}

HostErr CFastMove::Run() {
    guidesAsked = 0;
    ignoreGuides = 0;
    destinationPath = nullptr;
    if (HostErr err = FindDestinationPath()) return err;
    if (!destinationPath) {
        ShowAlert(kSelectOnePath);
        return 0;
    }

    bool deletePath = false;
    if (HostErr err = AskQuestion(kDeletePathQuestion, &deletePath)) return err;

    int32_t count = 0;
    HostPathSegment first{}, last{};
    if (sPath->GetPathSegmentCount(destinationPath, &count) || count < 1 ||
        sPath->GetPathSegments(destinationPath, 0, 1, &first) ||
        sPath->GetPathSegments(destinationPath, count - 1, 1, &last))
        return 0;

    HostMatrix move{};
    if (HostErr err = sRealMath->SetMatrixTranslate(&move, last.p.x - first.p.x, last.p.y - first.p.y)) return err;

    HostLayer layer = nullptr;
    if (HostErr err = sLayer->GetNthLayer(0, &layer)) return err;
    while (layer) {
        HostBool visible = 0, editable = 0;
        if (sLayer->GetLayerVisible(layer, &visible) == 0 && sLayer->GetLayerEditable(layer, &editable) == 0 &&
            visible && editable) {
            HostArt group = nullptr;
            if (HostErr err = sArt->GetFirstArtOfLayer(layer, &group)) return err;
            if (HostErr err = MoveTree(group, move, false)) return err;
        }
        if (HostErr err = sLayer->GetNextLayer(layer, &layer)) return err;
    }

    if (deletePath) return sArt->DisposeArt(destinationPath);
    return 0;
}

HostErr CFastMove::MovePath(HostArt path, const HostMatrix& move) {
    HostBool guide = 0;
    if (HostErr err = sPath->GetPathIsGuide(path, &guide)) return err;
    if (guide) {
        if (!guidesAsked) {
            bool yes = false;
            if (HostErr err = AskQuestion(kIgnoreGuidesQuestion, &yes)) return err;
            guidesAsked = 1;
            if (yes) ignoreGuides = 1;
        }
        if (ignoreGuides) return 0;
    }
    return sTransformArt->TransformArt(path, &move, 1.0, kMoveFlags);
}

HostErr CFastMove::MoveTree(HostArt art, const HostMatrix& move, bool withFollowingSiblings) {
    for (HostArt object = art; object;) {
        int32_t type = kHostUnknownArt, attributes = 0;
        if (HostErr err = sArt->GetArtType(object, &type)) return err;
        if (HostErr err = sArt->GetArtUserAttr(object, kHostArtLocked | kHostArtHidden, &attributes)) return err;
        if (!(attributes & (kHostArtLocked | kHostArtHidden))) {
            HostArt child = nullptr;
            if (HostErr err = sArt->GetArtFirstChild(object, &child)) return err;
            if ((type == kHostGroupArt || type == kHostCompoundPathArt) && child) {
                if (HostErr err = MoveTree(child, move, true)) return err;
            }
            if (object != destinationPath) {
                if (type == kHostPathArt) {
                    if (HostErr err = MovePath(object, move)) return err;
                } else if (MovedWhole(type)) {
                    if (HostErr err = sTransformArt->TransformArt(object, &move, 1.0, kMoveFlags)) return err;
                }
            }
        }
        if (!withFollowingSiblings) break;
        if (HostErr err = sArt->GetArtSibling(object, &object)) return err;
    }
    return 0;
}

}  // namespace orbalis
