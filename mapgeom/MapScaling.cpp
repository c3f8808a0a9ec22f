#include "mapgeom/MapScaling.h"

#include <cmath>
#include <cstddef>

#include "frame/DialogRunner.h"
#include "frame/HostSuites.h"
#include "frame/UserAlerts.h"
#include "frame/SettingKeys.h"
#include "frame/ArtSet.h"

namespace orbalis {

const std::array<const char16_t*, kPaperRatioCount> kPaperRatioTexts{
    u"A3→A5  B4→B6 (50%)",  u"A3→B5  A4→B6 (61%)",  u"A3→A4  B4→B5 (71%)",
    u"B4→A4  B5→A5 (82%)",  u"A3→B4  A4→B5 (87%)",  u"B4→A3  B5→A4 (115%)",
    u"A4→B4  A5→B5 (122%)", u"A4→A3  A5→A4 (141%)", u"A5→A3  B6→B4 (200%)",
};
const std::array<double, kPaperRatioCount> kPaperRatioFactors{0.5, 0.61, 0.71, 0.82, 0.87, 1.15, 1.22, 1.41, 2.0};

namespace {

constexpr const char* kProgressText = "拡大/縮小しています";

bool PositiveFinite(double value) { return value > 0.0 && std::isfinite(value); }

bool FiniteMatrix(const HostMatrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// A group or compound path with something in it: the run scales its
// contents, never the container itself.
HostErr IsNonEmptyContainer(HostArt art, bool* container) {
    int32_t type = kHostUnknownArt;
    HostArt child = nullptr;
    if (HostErr err = sArt->GetArtType(art, &type)) return err;
    if (HostErr err = sArt->GetArtFirstChild(art, &child)) return err;
    *container = (type == kHostGroupArt || type == kHostCompoundPathArt) && child;
    return 0;
}

}  // namespace

void ReplaceUnusableSettings(MapScalingSettings& s) {
    const MapScalingSettings defaults;
    if (s.mode < kByMapScale || s.mode > kByPaperRatio) s.mode = defaults.mode;
    if (s.paperScaling < 0 || s.paperScaling >= kPaperRatioCount) s.paperScaling = defaults.paperScaling;
    if (s.currentScale <= 1) s.currentScale = defaults.currentScale;
    if (s.targetScale <= 1) s.targetScale = defaults.targetScale;
    if (!PositiveFinite(s.horizontalRatio)) s.horizontalRatio = defaults.horizontalRatio;
    if (!PositiveFinite(s.verticalRatio)) s.verticalRatio = defaults.verticalRatio;
}

bool ComputeScalingFactors(const MapScalingSettings& s, ScalingFactors* factors) {
    ScalingFactors f;
    switch (s.mode) {
    case kByMapScale:
        f.horizontal = f.vertical = f.lineScale =
            static_cast<double>(s.currentScale) / static_cast<double>(s.targetScale);
        break;
    case kByPercentage:
        f.horizontal = s.horizontalRatio / 100.0;
        f.vertical = s.verticalRatio / 100.0;
        f.lineScale = std::sqrt(f.vertical * f.horizontal);
        break;
    case kByPaperRatio:
        if (s.paperScaling < 0 || s.paperScaling >= kPaperRatioCount) return false;
        f.horizontal = f.vertical = f.lineScale = kPaperRatioFactors[static_cast<size_t>(s.paperScaling)];
        break;
    default: return false;
    }
    if (!PositiveFinite(f.horizontal) || !PositiveFinite(f.vertical) || !PositiveFinite(f.lineScale)) return false;
    *factors = f;
    return true;
}

int32_t TransformOptions(const MapScalingSettings& s) {
    int32_t options = kHostTransformObjects;
    if (s.scaleStrokeEffect) options |= kHostScaleLines;
    if (s.scalePattern) options |= kHostTransformFillPatterns | kHostTransformStrokePatterns;
    return options;
}

std::array<SettingKey, 13> CMapScaling::Keys() {
    MapScalingSettings& s = settings_;
    return {
        IntegerKey("MS_Mode", s.mode),
        IntegerKey("MS_CurrentScale", s.currentScale),
        IntegerKey("MS_TargetScale", s.targetScale),
        RealKey("MS_HorizontalRatio", s.horizontalRatio),
        RealKey("MS_VerticalRatio", s.verticalRatio),
        IntegerKey("MS_PaperScaling", s.paperScaling),
        BooleanKey("MS_KeepProportion", s.keepProportion),
        BooleanKey("MS_ScaleFontSize", s.scaleFontSize),
        BooleanKey("MS_ScaleSymbolSize", s.scaleSymbolSize),
        BooleanKey("MS_ScaleStrokeEffect", s.scaleStrokeEffect),
        BooleanKey("MS_ScaleGuide", s.scaleGuide),
        BooleanKey("MS_ScalePattern", s.scalePattern),
        BooleanKey("MS_SelectionOnly", s.selectionOnly),
    };
}

HostErr CMapScaling::Run() {
    settings_ = MapScalingSettings{};
    progressTotal_ = 0;
    progressCounter_ = 0;
    ReadSettingKeys(Keys());
    ReplaceUnusableSettings(settings_);
    if (HostErr err = RunDialog(pluginRef_, kMapScalingDialogId, MapScalingDialogProc, &settings_)) return err;
    WriteSettingKeys(Keys());

    HostRect bounds{};
    bool found = false;
    if (HostErr err = ComputeTargetBounds(&bounds, &found)) return err;
    // Nothing selected, or no art with bounds: nothing to scale.
    if (!found) return 0;
    centreX_ = (bounds.left + bounds.right) * 0.5;
    centreY_ = (bounds.top + bounds.bottom) * 0.5;

    ScalingFactors factors;
    if (!ComputeScalingFactors(settings_, &factors)) return kHostBadParameterErr;
    lineScale_ = factors.lineScale;
    if (HostErr err = sRealMath->SetMatrixTranslate(&matrix_, -centreX_, -centreY_)) return err;
    if (HostErr err = sRealMath->MatrixConcatScale(&matrix_, factors.horizontal, factors.vertical)) return err;
    if (HostErr err = sRealMath->MatrixConcatTranslate(&matrix_, centreX_, centreY_)) return err;
    // Factors near the ends of the number range can still overflow here.
    if (!FiniteMatrix(matrix_)) return kHostBadParameterErr;
    options_ = TransformOptions(settings_);

    if (HostErr err = SetProgressText(kProgressText)) return err;
    HostLayer layer = nullptr;
    if (HostErr err = sLayer->GetNthLayer(0, &layer)) return err;
    while (layer) {
        HostArt group = nullptr;
        if (HostErr err = sArt->GetFirstArtOfLayer(layer, &group)) return err;
        if (HostErr err = Visit(group, false)) return err;
        if (HostErr err = sLayer->GetNextLayer(layer, &layer)) return err;
    }
    return 0;
}

HostErr CMapScaling::ComputeTargetBounds(HostRect* bounds, bool* found) {
    *found = false;
    CArtSet set;
    // Objects without bounds (an empty group or layer) add nothing. The
    // selection lists the groups that hold selected art, whose bounds take in
    // their unselected contents too; their selected contents are listed
    // themselves, so only the objects the run scales one by one count.
    auto widen = [&](bool selectedObjectsOnly) -> HostErr {
        for (uint64_t i = 0; i < set.Count(); ++i) {
            HostArt art = set.At(static_cast<int32_t>(i));
            if (selectedObjectsOnly) {
                bool container = false;
                if (HostErr err = IsNonEmptyContainer(art, &container)) return err;
                if (container) continue;
            }
            HostRect r{};
            const HostErr err = sArt->GetArtBounds(art, &r);
            if (err == kHostNoBoundsErr) continue;
            if (err) return err;
            if (!*found) {
                *bounds = r;
                *found = true;
            } else if (HostErr unionErr = sRealMath->UnionRect(bounds, &r, bounds)) {
                return unionErr;
            }
        }
        return 0;
    };
    if (settings_.selectionOnly) {
        if (HostErr err = set.FillFromSelection()) return err;
        progressTotal_ = static_cast<int32_t>(set.Count());
        return widen(true);
    }
    int32_t layers = 0;
    if (HostErr err = sLayer->CountLayers(&layers)) return err;
    for (int32_t i = 0; i < layers; ++i) {
        HostLayer layer = nullptr;
        if (HostErr err = sLayer->GetNthLayer(i, &layer)) return err;
        set.FillFromLayer(layer);
        if (HostErr err = widen(false)) return err;
    }
    return 0;
}

HostErr CMapScaling::Visit(HostArt art, bool withFollowingSiblings) {
    ++progressCounter_;
    if (HostErr err = UpdateProgress(progressCounter_, progressTotal_)) return err;
    int32_t type = kHostUnknownArt, attributes = 0;
    HostArt child = nullptr;
    if (HostErr err = sArt->GetArtType(art, &type)) return err;
    if (HostErr err = sArt->GetArtUserAttr(art, kHostArtLocked | kHostArtHidden, &attributes)) return err;
    if (HostErr err = sArt->GetArtFirstChild(art, &child)) return err;
    bool skip = attributes & (kHostArtLocked | kHostArtHidden);
    if (!skip && settings_.selectionOnly) {
        int32_t selected = 0;
        if (HostErr err = sArt->GetArtUserAttr(art, kHostArtSelected, &selected)) return err;
        skip = !(selected & kHostArtSelected);
    }
    if (!skip) {
        if ((type == kHostGroupArt || type == kHostCompoundPathArt) && child) {
            if (HostErr err = Visit(child, true)) return err;
        } else if (HostErr err = TransformObject(art, type)) {
            return err;
        }
    }
    if (!withFollowingSiblings) return 0;
    HostArt sibling = nullptr;
    if (HostErr err = sArt->GetArtSibling(art, &sibling)) return err;
    while (sibling) {
        if (HostErr err = Visit(sibling, false)) return err;
        if (HostErr err = sArt->GetArtSibling(sibling, &sibling)) return err;
    }
    return 0;
}

HostErr CMapScaling::TransformObject(HostArt art, int32_t type) {
    switch (type) {
    case kHostPathArt: {
        HostBool guide = 0;
        if (HostErr err = sPath->GetPathIsGuide(art, &guide)) return err;
        if (guide && !settings_.scaleGuide) return 0;
        break;
    }
    case kHostTextFrameArt:
    case kHostLegacyTextArt:
        if (!settings_.scaleFontSize) return TransformText(art);
        break;
    case kHostSymbolArt:
        if (!settings_.scaleSymbolSize) return TransformSymbol(art);
        break;
    }
    return sTransformArt->TransformArt(art, &matrix_, lineScale_, options_);
}

// Text keeps its font size: point text moves with its anchor, area text and
// text on a path flow into their scaled path.
HostErr CMapScaling::TransformText(HostArt text) {
    int32_t kind = 0;
    if (HostErr err = sTextFrame->GetTextKind(text, &kind)) return err;
    if (kind == kHostPointText) {
        HostPoint anchor{};
        if (HostErr err = sTextFrame->GetPointTextAnchor(text, &anchor)) return err;
        HostMatrix toAnchor{}, mapped{};
        if (HostErr err = sRealMath->SetMatrixTranslate(&toAnchor, anchor.x, anchor.y)) return err;
        if (HostErr err = sRealMath->MatrixConcat(&toAnchor, &matrix_, &mapped)) return err;
        HostPoint moved{};
        if (HostErr err = sRealMath->MatrixGetTranslate(&mapped, &moved.x, &moved.y)) return err;
        return Translate(text, moved.x - anchor.x, moved.y - anchor.y, 1.0, kHostTransformObjects);
    }
    if (kind == kHostAreaText || kind == kHostPathText) {
        HostArt path = nullptr;
        if (HostErr err = sTextFrame->GetTextPathObject(text, &path)) return err;
        return sTransformArt->TransformArt(path, &matrix_, lineScale_, options_);
    }
    return 0;
}

// The symbol keeps its size: its bounds centre goes where the scaling maps it.
HostErr CMapScaling::TransformSymbol(HostArt symbol) {
    HostRect r{};
    if (HostErr err = sArt->GetArtBounds(symbol, &r)) return err;
    const HostPoint centre{(r.left + r.right) * 0.5, (r.top + r.bottom) * 0.5};
    HostPoint moved{};
    if (HostErr err = sRealMath->TransformPoint(&matrix_, &centre, &moved)) return err;
    return Translate(symbol, moved.x - centre.x, moved.y - centre.y, lineScale_, options_);
}

HostErr CMapScaling::Translate(HostArt art, double dx, double dy, double lineScale, int32_t options) {
    HostMatrix move{};
    if (HostErr err = sRealMath->SetMatrixTranslate(&move, dx, dy)) return err;
    return sTransformArt->TransformArt(art, &move, lineScale, options);
}

}  // namespace orbalis
