// The Text Frame suite, the text engine's paint conversion and the Hard Soft
// suite's matrix conversion.
#include <cmath>

#include "host/model/Document.h"
#include "host/model/Geometry.h"
#include "host/model/TextStory.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"
#include "host/suites/TextEngineObjects.h"

namespace orbalis::host {
namespace {

#define HOST_TEXT(text, handle)                              \
    HOST_ART(text##Art, handle);                             \
    TextData* text = std::get_if<TextData>(&text##Art->data); \
    if (!text) return kHostWrongArtTypeErr

HostErr NewPointText(int32_t paintOrder, HostArt prep, int32_t orientation, HostPoint anchor, HostArt* out) {
    HOST_OPERATION("NewPointText");
    HOST_DOCUMENT(document);
    if (!out) return kHostBadParameterErr;
    *out = nullptr;
    if (orientation != kHostHorizontalText && orientation != kHostVerticalText) return kHostBadParameterErr;
    if (!std::isfinite(anchor.x) || !std::isfinite(anchor.y)) return kHostBadParameterErr;
    Art* reference = nullptr;
    if (prep) {
        reference = Document::fromHandle(prep);
        if (!reference) return kHostBadParameterErr;
    }
    Art* art = nullptr;
    if (HostErr err = document->newArt(kHostTextFrameArt, paintOrder, reference, &art)) return err;
    TextData text;
    text.orientation = orientation;
    text.matrix = Translation(anchor.x, anchor.y);
    text.runs.push_back({"", DefaultCharFeatures()});
    art->data = std::move(text);
    document->touch(art);
    *out = Document::toHandle(art);
    return 0;
}

HostErr GetTextKind(HostArt handle, int32_t* kind) {
    HOST_OPERATION("GetTextKind");
    if (!kind) return kHostBadParameterErr;
    // Legacy text is text art too, of none of the frame kinds.
    if (Art* art = Document::fromHandle(handle); art && art->type() == kHostLegacyTextArt) {
        *kind = kHostLegacyTextKind;
        return 0;
    }
    HOST_TEXT(text, handle);
    *kind = text->frameKind;
    return 0;
}

HostErr GetTextOrientation(HostArt handle, int32_t* orientation) {
    HOST_OPERATION("GetTextOrientation");
    HOST_TEXT(text, handle);
    if (!orientation) return kHostBadParameterErr;
    *orientation = text->orientation;
    return 0;
}

HostErr SetTextOrientation(HostArt handle, int32_t orientation) {
    HOST_OPERATION("SetTextOrientation");
    HOST_TEXT(text, handle);
    if (orientation != kHostHorizontalText && orientation != kHostVerticalText) return kHostBadParameterErr;
    text->orientation = orientation;
    textArt->document()->touch(textArt);
    return 0;
}

HostErr GetPointTextAnchor(HostArt handle, HostPoint* anchor) {
    HOST_OPERATION("GetPointTextAnchor");
    HOST_TEXT(text, handle);
    if (!anchor) return kHostBadParameterErr;
    if (text->frameKind != kHostPointText) return kHostWrongArtTypeErr;
    *anchor = {text->matrix.tx, text->matrix.ty};
    return 0;
}

HostErr GetTextPathObject(HostArt handle, HostArt* path) {
    HOST_OPERATION("GetTextPathObject");
    HOST_TEXT(text, handle);
    if (!path) return kHostBadParameterErr;
    Art* frame = textArt->document()->framePathOf(textArt);
    if (!frame) return kHostWrongArtTypeErr;
    *path = Document::toHandle(frame);
    return 0;
}

// A new text-engine object of `kind` speaking of the text art.
HostTextRef NewEngineObject(TextEngineObject::Kind kind, HostArt text, size_t end = 0) {
    TextEngineObject o;
    o.kind = kind;
    o.art = text;
    o.end = end;
    return NewTextEngineObject(o);
}

HostErr GetTextRange(HostArt handle, HostTextRef* range) {
    HOST_OPERATION("GetTextRange");
    HOST_TEXT(text, handle);
    if (!range) return kHostBadParameterErr;
    *range = NewEngineObject(TextEngineObject::Range, handle, StoryLength(*text));
    return 0;
}

HostErr GetTextFrame(HostArt handle, HostTextRef* frame) {
    HOST_OPERATION("GetTextFrame");
    HOST_TEXT(text, handle);
    if (!frame) return kHostBadParameterErr;
    *frame = NewEngineObject(TextEngineObject::Frame, handle);
    return 0;
}

HostErr GetTextMatrix(HostArt handle, HostMatrix* matrix) {
    HOST_OPERATION("GetTextMatrix");
    HOST_TEXT(text, handle);
    if (!matrix) return kHostBadParameterErr;
    *matrix = text->matrix;
    return 0;
}

// ---------------------------------------------------------------- paint

CharFeatureSet* FeaturesOf(HostTextRef ref) {
    TextEngineObject* object = TextEngineObjectOf(ref);
    return object && object->kind == TextEngineObject::CharFeatures ? &object->chars : nullptr;
}

HostErr PaintGetPathStyle(HostTextRef ref, HostPathStyle* style) {
    HOST_OPERATION("ATEPaint.GetPathStyle");
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

HostErr PaintSetPathStyle(HostTextRef ref, const HostPathStyle* style) {
    HOST_OPERATION("ATEPaint.SetPathStyle");
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

// ---------------------------------------------------------------- matrix spaces

HostErr ConvertMatrixToPage(const HostMatrix* engine, HostMatrix* page) {
    HOST_OPERATION("ConvertMatrixToPage");
    if (!engine || !page) return kHostBadParameterErr;
    *page = EngineToPage(*engine);
    return 0;
}

HostErr ConvertMatrixToEngine(const HostMatrix* page, HostMatrix* engine) {
    HOST_OPERATION("ConvertMatrixToEngine");
    if (!page || !engine) return kHostBadParameterErr;
    *engine = PageToEngine(*page);
    return 0;
}

}  // namespace

const HostTextFrameSuite& TextFrameSuite() {
    static const HostTextFrameSuite suite{NewPointText,       GetTextKind,       GetTextOrientation,
                                          SetTextOrientation, GetPointTextAnchor, GetTextPathObject,
                                          GetTextRange,       GetTextFrame,
                                          GetTextMatrix};
    return suite;
}

const HostATEPaintSuite& ATEPaintSuite() {
    static const HostATEPaintSuite suite{PaintGetPathStyle, PaintSetPathStyle};
    return suite;
}

const HostHardSoftSuite& HardSoftSuite() {
    static const HostHardSoftSuite suite{ConvertMatrixToPage, ConvertMatrixToEngine};
    return suite;
}

}  // namespace orbalis::host
