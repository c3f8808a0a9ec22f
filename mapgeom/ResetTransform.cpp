#include "mapgeom/ResetTransform.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "frame/HostSuites.h"
#include "frame/TextEngine.h"
#include "frame/ArtSet.h"

namespace orbalis {
namespace {

constexpr const char* kAccumRotationTag = "BBAccumRotation";
constexpr int32_t kImageTransformFlags = kHostTransformObjects | kHostTransformFillGradients |
                                         kHostTransformFillPatterns | kHostTransformStrokePatterns |
                                         kHostTransformChildren;
constexpr int32_t kTextTransformFlags = kHostTransformObjects;

HostErr Transform(HostArt art, const HostMatrix& m, int32_t flags) {
    return sTransformArt->TransformArt(art, &m, 1.0, flags);
}

HostErr Translate(HostArt art, double dx, double dy) {
    HostMatrix m;
    if (HostErr err = sRealMath->SetMatrixTranslate(&m, dx, dy)) return err;
    return Transform(art, m, kTextTransformFlags);
}

HostErr BoundsCentre(HostArt art, HostPoint* centre) {
    HostRect r;
    if (HostErr err = sArt->GetArtBounds(art, &r)) return err;
    *centre = {(r.left + r.right) * 0.5, (r.top + r.bottom) * 0.5};
    return 0;
}

// Point text turns about its anchor; other text, which has none, about the
// centre of its bounds.
HostErr Pivot(HostArt art, int32_t kind, HostPoint* pivot) {
    if (kind == kHostPointText) return sTextFrame->GetPointTextAnchor(art, pivot);
    return BoundsCentre(art, pivot);
}

HostErr ResetPlaced(HostArt art) {
    HostRect before, after;
    if (HostErr err = sArt->GetArtBounds(art, &before)) return err;
    HostMatrix m;
    if (HostErr err = sPlaced->GetPlacedMatrix(art, &m)) return err;
    m.a = 1;
    m.b = 0;
    m.c = 0;
    m.d = -1;
    if (HostErr err = sPlaced->SetPlacedMatrix(art, &m)) return err;
    sTag->RemoveTag(art, kAccumRotationTag);  // an image may well have no such tag
    if (HostErr err = sArt->GetArtBounds(art, &after)) return err;
    HostMatrix t;
    if (HostErr err = sRealMath->SetMatrixTranslate(&t, -after.left, -after.top)) return err;
    if (HostErr err = sRealMath->MatrixConcatTranslate(&t, before.left, before.top)) return err;
    return Transform(art, t, kImageTransformFlags);
}

HostErr ResetRaster(HostArt art) {
    HostMatrix m;
    if (HostErr err = sRaster->GetRasterMatrix(art, &m)) return err;
    m.a = 1;
    m.b = 0;
    m.c = 0;
    m.d = 1;
    if (HostErr err = sRaster->SetRasterMatrix(art, &m)) return err;
    sTag->RemoveTag(art, kAccumRotationTag);
    return 0;
}

HostErr RemoveAccumRotationTags(HostArt art) {
    int32_t count = 0;
    if (HostErr err = sTag->CountTags(art, &count)) return err;
    for (int32_t n = count - 1; n >= 0; --n) {
        const char* name = nullptr;
        if (HostErr err = sTag->GetNthTag(art, n, &name)) return err;
        if (name && std::strcmp(name, kAccumRotationTag) == 0)
            if (HostErr err = sTag->RemoveTag(art, kAccumRotationTag)) return err;
    }
    return 0;
}

HostErr TextFrameOf(HostArt art, ATE::ITextFrame* frame) {
    HostTextRef ref = nullptr;
    if (HostErr err = sTextFrame->GetTextFrame(art, &ref)) return err;
    *frame = ATE::ITextFrame(ref);
    return 0;
}

HostErr Upright(HostArt art) {
    ATE::ITextFrame frame;
    if (HostErr err = TextFrameOf(art, &frame)) return err;
    HostTextRef rangeRef = nullptr;
    if (HostErr err = sTextFrame->GetTextRange(art, &rangeRef)) return err;
    ATE::ITextRange range(rangeRef);
    const int32_t kind = frame.GetType();
    if (kind == kHostPathText) return 0;
    if (HostErr err = RemoveAccumRotationTags(art)) return err;

    const HostMatrix m = frame.GetMatrix();
    HostPoint anchor;
    if (HostErr err = Pivot(art, kind, &anchor)) return err;
    double angle = 0;
    if (HostErr err = sRealMath->MatrixGetRotation(&m, &angle)) return err;
    HostMatrix rotation;
    if (HostErr err = sRealMath->SetMatrixRotate(&rotation, angle)) return err;
    if (HostErr err = Translate(art, -anchor.x, -anchor.y)) return err;
    if (HostErr err = Transform(art, rotation, kTextTransformFlags)) return err;
    if (HostErr err = Translate(art, anchor.x, anchor.y)) return err;

    for (ATE::ITextRunsIterator runs = range.GetTextRuns(); !runs.IsDone(); runs.Next()) {
        ATE::ITextRange run = runs.Item();
        ATE::ICharFeatures features = run.GetUniqueCharFeatures();
        features.SetCharacterRotation(0);
        run.SetLocalCharFeatures(features);
    }
    return 0;
}

HostErr RemoveShear(HostArt art) {
    int32_t kind = 0, orientation = 0;
    if (HostErr err = sTextFrame->GetTextKind(art, &kind)) return err;
    if (HostErr err = sTextFrame->GetTextOrientation(art, &orientation)) return err;
    HostPoint pivot;
    if (HostErr err = Pivot(art, kind, &pivot)) return err;

    ATE::ITextFrame frame;
    if (HostErr err = TextFrameOf(art, &frame)) return err;
    const HostMatrix engine = frame.GetMatrix();
    HostMatrix m1;
    if (HostErr err = sHardSoft->ConvertMatrixToPage(&engine, &m1)) return err;
    m1.tx = m1.ty = 0;
    // A mirrored frame would come out with a negative size and scale, its
    // glyphs upside down: leave it as it is, like a matrix with no inverse.
    if (m1.a * m1.d - m1.b * m1.c < 0) return 0;
    double theta = 0;
    if (HostErr err = sRealMath->MatrixGetRotation(&m1, &theta)) return err;
    HostMatrix m2 = m1;  // the scale and shear that remain without the rotation
    if (HostErr err = sRealMath->MatrixConcatRotate(&m2, -theta)) return err;
    HostMatrix m3;
    if (HostErr err = sRealMath->MatrixInvert(&m1, &m3)) return err == kHostSingularMatrixErr ? 0 : err;
    const bool vertical = orientation == kHostVerticalText;
    const double keptAngle = vertical ? theta + std::atan(-m2.c / m2.d) : theta;

    HostMatrix t;
    if (HostErr err = sRealMath->SetMatrixTranslate(&t, -pivot.x, -pivot.y)) return err;
    if (HostErr err = sRealMath->MatrixConcat(&t, &m3, &t)) return err;
    if (kind == kHostPointText)
        if (HostErr err = sRealMath->MatrixConcatRotate(&t, keptAngle)) return err;
    if (HostErr err = sRealMath->MatrixConcatTranslate(&t, pivot.x, pivot.y)) return err;

    // Text on a path keeps its path where and as it is; only the text is
    // corrected.
    HostArt path = nullptr;
    std::vector<HostPathSegment> segments;
    if (kind == kHostPathText) {
        if (HostErr err = sTextFrame->GetTextPathObject(art, &path)) return err;
        int32_t count = 0;
        if (HostErr err = sPath->GetPathSegmentCount(path, &count)) return err;
        segments.resize(static_cast<size_t>(count));
        if (HostErr err = sPath->GetPathSegments(path, 0, count, segments.data())) return err;
    }
    if (HostErr err = Transform(art, t, kTextTransformFlags)) return err;
    if (path) {
        const auto count = static_cast<int32_t>(segments.size());
        if (HostErr err = sPath->SetPathSegments(path, 0, count, segments.data())) return err;
    }

    ATE::ITextRange range = frame.GetTextRange(true);
    for (ATE::ITextRunsIterator runs = range.GetTextRuns(); !runs.IsDone(); runs.Next()) {
        ATE::ITextRange run = runs.Item();
        ATE::ICharFeatures features = run.GetUniqueCharFeatures();
        features.SetFontSize(features.GetFontSize() * m2.d);
        if (vertical)
            features.SetVerticalScale(features.GetVerticalScale() / m2.d);
        else
            features.SetHorizontalScale(features.GetHorizontalScale() / m2.d);
        run.SetLocalCharFeatures(features);
    }
    return 0;
}

// Runs `change` on every selected object of `type`, in the set's order.
template <typename Change>
HostErr ForEachSelected(Change change) {
    CArtSet selection;
    if (HostErr err = selection.FillFromSelection()) return err;
    for (int32_t i = 0; i < static_cast<int32_t>(selection.Count()); ++i) {
        HostArt art = selection.At(i);
        int32_t type = 0;
        if (HostErr err = sArt->GetArtType(art, &type)) return err;
        if (HostErr err = change(art, type)) return err;
    }
    return 0;
}

}  // namespace

HostErr CResetTransform::ResetPlacedImageSize() {
    return ForEachSelected([](HostArt art, int32_t type) -> HostErr {
        if (type == kHostPlacedArt) return ResetPlaced(art);
        if (type == kHostRasterArt) return ResetRaster(art);
        return 0;
    });
}

HostErr CResetTransform::RestoreTextUpright() {
    return ForEachSelected(
        [](HostArt art, int32_t type) -> HostErr { return type == kHostTextFrameArt ? Upright(art) : 0; });
}

HostErr CResetTransform::RemoveTextShear() {
    return ForEachSelected(
        [](HostArt art, int32_t type) -> HostErr { return type == kHostTextFrameArt ? RemoveShear(art) : 0; });
}

}  // namespace orbalis
