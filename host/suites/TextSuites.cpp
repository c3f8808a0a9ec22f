// The Text Frame suite, the text engine's paint conversion and the Hard Soft
// suite's matrix conversion.
#include <cmath>

#include "host/model/Document.h"
#include "host/model/Geometry.h"
#include "host/model/TextStory.h"
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"
#include "host/suites/TextEngineObjects.h"

namespace orbalis::host {
namespace {

using TextArt = ArtOf<TextData>;

HostErr NewPointText(Document& document, int32_t paintOrder, HostArt prep, int32_t orientation, HostPoint anchor,
                     HostArt& out) {
    out = nullptr;
    if (orientation != kHostHorizontalText && orientation != kHostVerticalText) return kHostBadParameterErr;
    if (!std::isfinite(anchor.x) || !std::isfinite(anchor.y)) return kHostBadParameterErr;
    Art* reference = prep ? Document::fromHandle(prep) : nullptr;
    if (prep && !reference) return kHostBadParameterErr;
    Art* art = nullptr;
    if (HostErr err = document.newArt(kHostTextFrameArt, paintOrder, reference, &art)) return err;
    TextData text;
    text.orientation = orientation;
    text.matrix = Translation(anchor.x, anchor.y);
    text.runs.push_back({"", DefaultCharFeatures()});
    art->data = std::move(text);
    document.touch(art);
    out = Document::toHandle(art);
    return 0;
}

HostErr GetTextKind(HostArt handle, int32_t& kind) {
    // Legacy text is text art too, of none of the frame kinds.
    if (Art* art = Document::fromHandle(handle); art && art->type() == kHostLegacyTextArt) {
        kind = kHostLegacyTextKind;
        return 0;
    }
    TextArt text;
    if (HostErr err = TextArt::Bind(handle, text)) return err;
    kind = text->frameKind;
    return 0;
}

HostErr GetTextOrientation(TextArt text, int32_t& orientation) {
    orientation = text->orientation;
    return 0;
}

HostErr SetTextOrientation(TextArt text, int32_t orientation) {
    if (orientation != kHostHorizontalText && orientation != kHostVerticalText) return kHostBadParameterErr;
    text->orientation = orientation;
    text.touch();
    return 0;
}

HostErr GetPointTextAnchor(TextArt text, HostPoint& anchor) {
    if (text->frameKind != kHostPointText) return kHostWrongArtTypeErr;
    anchor = {text->matrix.tx, text->matrix.ty};
    return 0;
}

HostErr GetTextPathObject(TextArt text, HostArt& path) {
    Art* frame = text.art->document()->framePathOf(text.art);
    if (!frame) return kHostWrongArtTypeErr;
    path = Document::toHandle(frame);
    return 0;
}

// A new text-engine object of `kind` speaking of the text art.
HostTextRef NewEngineObject(TextEngineObject::Kind kind, const TextArt& text, size_t end = 0) {
    TextEngineObject o;
    o.kind = kind;
    o.art = Document::toHandle(text.art);
    o.end = end;
    return NewTextEngineObject(o);
}

HostErr GetTextRange(TextArt text, HostTextRef& range) {
    range = NewEngineObject(TextEngineObject::Range, text, StoryLength(*text.data));
    return 0;
}

HostErr GetTextFrame(TextArt text, HostTextRef& frame) {
    frame = NewEngineObject(TextEngineObject::Frame, text);
    return 0;
}

HostErr GetTextMatrix(TextArt text, HostMatrix& matrix) {
    matrix = text->matrix;
    return 0;
}

// ---------------------------------------------------------------- paint

CharFeatureSet* FeaturesOf(HostTextRef ref) {
    TextEngineObject* object = TextEngineObjectOf(ref);
    return object && object->kind == TextEngineObject::CharFeatures ? &object->chars : nullptr;
}

namespace ATEPaint {

HostErr GetPathStyle(HostTextRef ref, HostPathStyle* style) {
    CharFeatureSet* features = FeaturesOf(ref);
    if (!features) return kHostStaleTextRefErr;
    if (!style) return kHostBadParameterErr;
    if (features->fillPaint) style->fillPaint = *features->fillPaint;
    if (features->fill) style->fill.color = *features->fill;
    if (features->strokePaint) style->strokePaint = *features->strokePaint;
    if (features->stroke) style->stroke.color = *features->stroke;
    if (features->strokeWidth) style->stroke.width = *features->strokeWidth;
    return 0;
}

HostErr SetPathStyle(HostTextRef ref, const HostPathStyle* style) {
    CharFeatureSet* features = FeaturesOf(ref);
    if (!features) return kHostStaleTextRefErr;
    if (!style || !std::isfinite(style->stroke.width) || style->stroke.width < 0) return kHostBadParameterErr;
    features->fillPaint = style->fillPaint != 0;
    features->fill = style->fill.color;
    features->strokePaint = style->strokePaint != 0;
    features->stroke = style->stroke.color;
    features->strokeWidth = style->stroke.width;
    return 0;
}

}  // namespace ATEPaint

// ---------------------------------------------------------------- matrix spaces

HostErr ConvertMatrixToPage(const HostMatrix& engine, HostMatrix& page) {
    page = EngineToPage(engine);
    return 0;
}

HostErr ConvertMatrixToEngine(const HostMatrix& page, HostMatrix& engine) {
    engine = PageToEngine(page);
    return 0;
}

}  // namespace

const HostTextFrameSuite& TextFrameSuite() {
    return SuiteTable<HostTextFrameSuite, NewPointText, GetTextKind, GetTextOrientation, SetTextOrientation,
                      GetPointTextAnchor, GetTextPathObject, GetTextRange, GetTextFrame, GetTextMatrix>;
}

const HostATEPaintSuite& ATEPaintSuite() {
    return SuiteTable<HostATEPaintSuite, ATEPaint::GetPathStyle, ATEPaint::SetPathStyle>;
}

const HostHardSoftSuite& HardSoftSuite() {
    return SuiteTable<HostHardSoftSuite, ConvertMatrixToPage, ConvertMatrixToEngine>;
}

}  // namespace orbalis::host
