// The text engine's suites: its objects (frames, stories, ranges, runs
// iterators and feature sets) live in the process's handle table, so that a
// released or stale reference is refused rather than followed.
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "host/model/Document.h"
#include "host/model/TextStory.h"
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"
#include "host/suites/TextEngineObjects.h"
#include "host/win32/Handles.h"

namespace orbalis::host {
namespace {

// A text-engine object in the process's handle table, with the references
// that keep it there.
struct Entry {
    static constexpr const HandleKind& kKind = HostKind::TextEngineRef;
    int references = 1;
    TextEngineObject object;
};

Entry* EntryOf(HostTextRef ref) {
    return win32::Handles().Find<Entry>(reinterpret_cast<uintptr_t>(ref), nullptr);
}

HostErr AddRef(HostTextRef ref) {
    HOST_OPERATION("TextEngineAddRef");
    Entry* entry = EntryOf(ref);
    if (!entry) return kHostStaleTextRefErr;
    ++entry->references;
    return 0;
}

HostErr Release(HostTextRef ref) {
    HOST_OPERATION("TextEngineRelease");
    Entry* entry = EntryOf(ref);
    if (!entry) return kHostStaleTextRefErr;
    if (--entry->references == 0) win32::Handles().Dispose<Entry>(reinterpret_cast<uintptr_t>(ref), nullptr);
    return 0;
}

// ---------------------------------------------------------------- binding arguments

// The object behind `ref` if it is of `kind`.
TextEngineObject* Object(HostTextRef ref, TextEngineObject::Kind kind) {
    TextEngineObject* object = TextEngineObjectOf(ref);
    return object && object->kind == kind ? object : nullptr;
}

// The text data of the art an engine object speaks of, if it is still live.
TextData* TextOf(const TextEngineObject& object, Art** artOut = nullptr) {
    Art* art = Document::fromHandle(object.art);
    if (!art) return nullptr;
    if (artOut) *artOut = art;
    return std::get_if<TextData>(&art->data);
}

#define ATE_BIND(object, ref, kind)                                                    \
    TextEngineObject* object = Object(ref, TextEngineObject::kind);                    \
    if (!object) return kHostStaleTextRefErr

#define ATE_TEXT(text, object)                  \
    Art* text##Art = nullptr;                   \
    TextData* text = TextOf(*object, &text##Art); \
    if (!text) return kHostBadParameterErr

HostErr NewRange(HostArt art, size_t start, size_t end, HostTextRef* out) {
    TextEngineObject o;
    o.kind = TextEngineObject::Range;
    o.art = art;
    o.start = start;
    o.end = end;
    *out = NewTextEngineObject(o);
    return 0;
}

HostErr NewStory(HostArt art, HostTextRef* out) {
    TextEngineObject o;
    o.kind = TextEngineObject::Story;
    o.art = art;
    *out = NewTextEngineObject(o);
    return 0;
}

// The range's ends, cut to the story as it is now.
std::pair<size_t, size_t> Ends(const TextEngineObject& range, const TextData& text) {
    const size_t length = StoryLength(text);
    const size_t end = std::min(range.end, length);
    return {std::min(range.start, end), end};
}

HostErr CopyOut(const std::string& utf8, char* buffer, int32_t size, int32_t* needed) {
    if (size < 0 || (size > 0 && !buffer)) return kHostBadParameterErr;
    if (needed) *needed = static_cast<int32_t>(utf8.size());
    if (size == 0) return 0;
    size_t n = std::min(utf8.size(), static_cast<size_t>(size) - 1);
    while (n > 0 && n < utf8.size() && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, utf8.data(), n);
    buffer[n] = '\0';
    return 0;
}

// ---------------------------------------------------------------- ATE TextFrame

HostErr FrameGetMatrix(HostTextRef ref, HostMatrix* matrix) {
    HOST_OPERATION("ATETextFrame.GetMatrix");
    ATE_BIND(frame, ref, Frame);
    ATE_TEXT(text, frame);
    if (!matrix) return kHostBadParameterErr;
    *matrix = PageToEngine(text->matrix);
    return 0;
}

HostErr FrameGetType(HostTextRef ref, int32_t* kind) {
    HOST_OPERATION("ATETextFrame.GetType");
    ATE_BIND(frame, ref, Frame);
    ATE_TEXT(text, frame);
    if (!kind) return kHostBadParameterErr;
    *kind = text->frameKind;
    return 0;
}

HostErr FrameGetLineOrientation(HostTextRef ref, int32_t* orientation) {
    HOST_OPERATION("ATETextFrame.GetLineOrientation");
    ATE_BIND(frame, ref, Frame);
    ATE_TEXT(text, frame);
    if (!orientation) return kHostBadParameterErr;
    *orientation = text->orientation;
    return 0;
}

HostErr FrameGetTextRange(HostTextRef ref, HostBool includeOverflow, HostTextRef* range) {
    HOST_OPERATION("ATETextFrame.GetTextRange");
    ATE_BIND(frame, ref, Frame);
    ATE_TEXT(text, frame);
    if (!range) return kHostBadParameterErr;
    return NewRange(frame->art, 0, includeOverflow ? StoryLength(*text) : VisibleEnd(*text), range);
}

HostErr FrameGetStory(HostTextRef ref, HostTextRef* story) {
    HOST_OPERATION("ATETextFrame.GetStory");
    ATE_BIND(frame, ref, Frame);
    ATE_TEXT(text, frame);
    if (!story) return kHostBadParameterErr;
    return NewStory(frame->art, story);
}

// ---------------------------------------------------------------- ATE Story

HostErr StoryGetTextRange(HostTextRef ref, HostTextRef* range) {
    HOST_OPERATION("ATEStory.GetTextRange");
    ATE_BIND(story, ref, Story);
    ATE_TEXT(text, story);
    if (!range) return kHostBadParameterErr;
    return NewRange(story->art, 0, StoryLength(*text), range);
}

HostErr StoryGetSize(HostTextRef ref, int32_t* size) {
    HOST_OPERATION("ATEStory.GetSize");
    ATE_BIND(story, ref, Story);
    ATE_TEXT(text, story);
    if (!size) return kHostBadParameterErr;
    *size = static_cast<int32_t>(StoryLength(*text));
    return 0;
}

// ---------------------------------------------------------------- ATE TextRange

HostErr RangeGetStart(HostTextRef ref, int32_t* start) {
    HOST_OPERATION("ATETextRange.GetStart");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!start) return kHostBadParameterErr;
    *start = static_cast<int32_t>(Ends(*range, *text).first);
    return 0;
}

HostErr RangeGetEnd(HostTextRef ref, int32_t* end) {
    HOST_OPERATION("ATETextRange.GetEnd");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!end) return kHostBadParameterErr;
    *end = static_cast<int32_t>(Ends(*range, *text).second);
    return 0;
}

HostErr RangeGetSize(HostTextRef ref, int32_t* size) {
    HOST_OPERATION("ATETextRange.GetSize");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!size) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range, *text);
    *size = static_cast<int32_t>(end - start);
    return 0;
}

HostErr RangeGetContents(HostTextRef ref, char* buffer, int32_t size, int32_t* needed) {
    HOST_OPERATION("ATETextRange.GetContents");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    const auto [start, end] = Ends(*range, *text);
    return CopyOut(StoryContents(*text, start, end), buffer, size, needed);
}

HostErr RangeGetStory(HostTextRef ref, HostTextRef* story) {
    HOST_OPERATION("ATETextRange.GetStory");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!story) return kHostBadParameterErr;
    return NewStory(range->art, story);
}

HostErr RangeGetTextRuns(HostTextRef ref, HostTextRef* runs) {
    HOST_OPERATION("ATETextRange.GetTextRuns");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!runs) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range, *text);
    TextEngineObject o;
    o.kind = TextEngineObject::Runs;
    o.art = range->art;
    o.start = o.position = start;
    o.end = end;
    *runs = NewTextEngineObject(o);
    return 0;
}

HostErr RangeGetUniqueCharFeatures(HostTextRef ref, HostTextRef* features) {
    HOST_OPERATION("ATETextRange.GetUniqueCharFeatures");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!features) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range, *text);
    TextEngineObject o;
    o.kind = TextEngineObject::CharFeatures;
    o.chars = SharedCharFeatures(*text, start, end);
    *features = NewTextEngineObject(o);
    return 0;
}

HostErr RangeSetLocalCharFeatures(HostTextRef ref, HostTextRef featuresRef) {
    HOST_OPERATION("ATETextRange.SetLocalCharFeatures");
    ATE_BIND(range, ref, Range);
    ATE_BIND(features, featuresRef, CharFeatures);
    ATE_TEXT(text, range);
    const auto [start, end] = Ends(*range, *text);
    ApplyCharFeatures(*text, start, end, features->chars);
    textArt->document()->touch(textArt);
    return 0;
}

HostErr RangeGetUniqueParaFeatures(HostTextRef ref, HostTextRef* features) {
    HOST_OPERATION("ATETextRange.GetUniqueParaFeatures");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!features) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range, *text);
    const auto [first, last] = ParagraphsOf(*text, start, end);
    TextEngineObject o;
    o.kind = TextEngineObject::ParaFeatures;
    o.para.justification = JustificationOf(*text, first);
    for (size_t p = first + 1; p <= last; ++p)
        if (JustificationOf(*text, p) != *o.para.justification) o.para.justification.reset();
    *features = NewTextEngineObject(o);
    return 0;
}

HostErr RangeSetLocalParaFeatures(HostTextRef ref, HostTextRef featuresRef) {
    HOST_OPERATION("ATETextRange.SetLocalParaFeatures");
    ATE_BIND(range, ref, Range);
    ATE_BIND(features, featuresRef, ParaFeatures);
    ATE_TEXT(text, range);
    if (features->para.justification) {
        const auto [start, end] = Ends(*range, *text);
        const auto [first, last] = ParagraphsOf(*text, start, end);
        for (size_t p = first; p <= last; ++p) SetJustification(*text, p, *features->para.justification);
        textArt->document()->touch(textArt);
    }
    return 0;
}

HostErr RangeInsertAfter(HostTextRef ref, const char* utf8) {
    HOST_OPERATION("ATETextRange.InsertAfter");
    ATE_BIND(range, ref, Range);
    ATE_TEXT(text, range);
    if (!utf8) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range, *text);
    const size_t before = StoryLength(*text);
    InsertText(*text, end, utf8);
    range->start = start;
    range->end = end + (StoryLength(*text) - before);
    textArt->document()->touch(textArt);
    return 0;
}

// ---------------------------------------------------------------- ATE TextRunsIterator

HostErr RunsIsDone(HostTextRef ref, HostBool* done) {
    HOST_OPERATION("ATETextRunsIterator.IsDone");
    ATE_BIND(runs, ref, Runs);
    ATE_TEXT(text, runs);
    if (!done) return kHostBadParameterErr;
    *done = runs->position >= std::min(runs->end, StoryLength(*text));
    return 0;
}

HostErr RunsNext(HostTextRef ref) {
    HOST_OPERATION("ATETextRunsIterator.Next");
    ATE_BIND(runs, ref, Runs);
    ATE_TEXT(text, runs);
    const auto stretch = StretchAt(*text, runs->position, runs->end);
    runs->position = stretch ? stretch->end : runs->end;
    return 0;
}

HostErr RunsItem(HostTextRef ref, HostTextRef* range) {
    HOST_OPERATION("ATETextRunsIterator.Item");
    ATE_BIND(runs, ref, Runs);
    ATE_TEXT(text, runs);
    if (!range) return kHostBadParameterErr;
    const auto stretch = StretchAt(*text, runs->position, runs->end);
    if (!stretch) return kHostIndexErr;
    return NewRange(runs->art, runs->position, stretch->end, range);
}

// ---------------------------------------------------------------- ATE CharFeatures

HostErr CharInitialize(HostTextRef* features) {
    HOST_OPERATION("ATECharFeatures.Initialize");
    if (!features) return kHostBadParameterErr;
    TextEngineObject o;
    o.kind = TextEngineObject::CharFeatures;
    *features = NewTextEngineObject(o);
    return 0;
}

HostErr CharClone(HostTextRef ref, HostTextRef* copy) {
    HOST_OPERATION("ATECharFeatures.Clone");
    ATE_BIND(features, ref, CharFeatures);
    if (!copy) return kHostBadParameterErr;
    *copy = NewTextEngineObject(*features);
    return 0;
}

HostErr CharGetFont(HostTextRef ref, HostBool* assigned, char* buffer, int32_t size, int32_t* needed) {
    HOST_OPERATION("ATECharFeatures.GetFont");
    ATE_BIND(features, ref, CharFeatures);
    if (!assigned) return kHostBadParameterErr;
    *assigned = features->chars.font.has_value();
    return CopyOut(features->chars.font.value_or(""), buffer, size, needed);
}

HostErr CharSetFont(HostTextRef ref, const char* name) {
    HOST_OPERATION("ATECharFeatures.SetFont");
    ATE_BIND(features, ref, CharFeatures);
    if (!name) return kHostBadParameterErr;
    features->chars.font = name;
    return 0;
}

HostErr GetReal(const std::optional<double>& value, HostBool* assigned, double* out) {
    if (!assigned || !out) return kHostBadParameterErr;
    *assigned = value.has_value();
    if (value) *out = *value;
    return 0;
}

// Sizes and scales must be positive: a negative one would turn glyphs over.
HostErr SetPositive(std::optional<double>& field, double value) {
    if (!std::isfinite(value) || value <= 0) return kHostBadParameterErr;
    field = value;
    return 0;
}

#define ATE_CHAR_REAL(Name, field, setter)                                          \
    HostErr CharGet##Name(HostTextRef ref, HostBool* assigned, double* value) {     \
        HOST_OPERATION("ATECharFeatures.Get" #Name);                                \
        ATE_BIND(features, ref, CharFeatures);                                      \
        return GetReal(features->chars.field, assigned, value);                    \
    }                                                                               \
    HostErr CharSet##Name(HostTextRef ref, double value) {                          \
        HOST_OPERATION("ATECharFeatures.Set" #Name);                                \
        ATE_BIND(features, ref, CharFeatures);                                      \
        return setter(features->chars.field, value);                                \
    }

HostErr SetFinite(std::optional<double>& field, double value) {
    if (!std::isfinite(value)) return kHostBadParameterErr;
    field = value;
    return 0;
}

ATE_CHAR_REAL(FontSize, fontSize, SetPositive)
ATE_CHAR_REAL(HorizontalScale, horizontalScale, SetPositive)
ATE_CHAR_REAL(VerticalScale, verticalScale, SetPositive)
ATE_CHAR_REAL(CharacterRotation, rotation, SetFinite)

// ---------------------------------------------------------------- ATE ParaFeatures

HostErr ParaInitialize(HostTextRef* features) {
    HOST_OPERATION("ATEParaFeatures.Initialize");
    if (!features) return kHostBadParameterErr;
    TextEngineObject o;
    o.kind = TextEngineObject::ParaFeatures;
    *features = NewTextEngineObject(o);
    return 0;
}

HostErr ParaGetJustification(HostTextRef ref, HostBool* assigned, int32_t* justification) {
    HOST_OPERATION("ATEParaFeatures.GetJustification");
    ATE_BIND(features, ref, ParaFeatures);
    if (!assigned || !justification) return kHostBadParameterErr;
    *assigned = features->para.justification.has_value();
    if (features->para.justification) *justification = static_cast<int32_t>(*features->para.justification);
    return 0;
}

HostErr ParaSetJustification(HostTextRef ref, int32_t justification) {
    HOST_OPERATION("ATEParaFeatures.SetJustification");
    ATE_BIND(features, ref, ParaFeatures);
    if (justification < kHostJustifyLeft || justification > kHostJustifyCenter) return kHostBadParameterErr;
    features->para.justification = static_cast<Justification>(justification);
    return 0;
}

}  // namespace

HostTextRef NewTextEngineObject(TextEngineObject object) {
    auto entry = std::make_unique<Entry>();
    entry->object = std::move(object);
    return reinterpret_cast<HostTextRef>(win32::Handles().Add(std::move(entry), nullptr));
}

HostTextRef NewTextEngineObject() { return NewTextEngineObject(TextEngineObject{}); }

TextEngineObject* TextEngineObjectOf(HostTextRef ref) {
    Entry* entry = EntryOf(ref);
    return entry ? &entry->object : nullptr;
}

int TextEngineReferences(HostTextRef ref) {
    Entry* entry = EntryOf(ref);
    return entry ? entry->references : 0;
}

int LiveTextEngineObjects() { return win32::Handles().Live(HostKind::TextEngineRef); }

HostMatrix PageToEngine(const HostMatrix& m) { return {m.a, -m.b, -m.c, m.d, m.tx, -m.ty}; }
HostMatrix EngineToPage(const HostMatrix& m) { return {m.a, -m.b, -m.c, m.d, m.tx, -m.ty}; }

const HostTextEngineSuite& TextEngineSuite() {
    static const HostTextEngineSuite suite{AddRef, Release};
    return suite;
}

const HostATETextFrameSuite& ATETextFrameSuite() {
    static const HostATETextFrameSuite suite{{AddRef, Release}, FrameGetMatrix, FrameGetType,
                                             FrameGetLineOrientation, FrameGetTextRange, FrameGetStory};
    return suite;
}

const HostATEStorySuite& ATEStorySuite() {
    static const HostATEStorySuite suite{{AddRef, Release}, StoryGetTextRange, StoryGetSize};
    return suite;
}

const HostATETextRangeSuite& ATETextRangeSuite() {
    static const HostATETextRangeSuite suite{{AddRef, Release},
                                             RangeGetStart,
                                             RangeGetEnd,
                                             RangeGetSize,
                                             RangeGetContents,
                                             RangeGetStory,
                                             RangeGetTextRuns,
                                             RangeGetUniqueCharFeatures,
                                             RangeSetLocalCharFeatures,
                                             RangeGetUniqueParaFeatures,
                                             RangeSetLocalParaFeatures,
                                             RangeInsertAfter};
    return suite;
}

const HostATETextRunsIteratorSuite& ATETextRunsIteratorSuite() {
    static const HostATETextRunsIteratorSuite suite{{AddRef, Release}, RunsIsDone, RunsNext, RunsItem};
    return suite;
}

const HostATECharFeaturesSuite& ATECharFeaturesSuite() {
    static const HostATECharFeaturesSuite suite{{AddRef, Release},
                                                CharInitialize,
                                                CharClone,
                                                CharGetFont,
                                                CharSetFont,
                                                CharGetFontSize,
                                                CharSetFontSize,
                                                CharGetHorizontalScale,
                                                CharSetHorizontalScale,
                                                CharGetVerticalScale,
                                                CharSetVerticalScale,
                                                CharGetCharacterRotation,
                                                CharSetCharacterRotation};
    return suite;
}

const HostATEParaFeaturesSuite& ATEParaFeaturesSuite() {
    static const HostATEParaFeaturesSuite suite{{AddRef, Release}, ParaInitialize, ParaGetJustification,
                                                ParaSetJustification};
    return suite;
}

}  // namespace orbalis::host
