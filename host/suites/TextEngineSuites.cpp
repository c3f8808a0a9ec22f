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
#include "host/suites/OperationGate.h"
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

Entry* EntryOf(HostTextRef ref) { return win32::Handles().Find<Entry>(reinterpret_cast<uintptr_t>(ref), nullptr); }

HostErr TextEngineAddRef(HostTextRef ref) {
    Entry* entry = EntryOf(ref);
    if (!entry) return kHostStaleTextRefErr;
    ++entry->references;
    return 0;
}

HostErr TextEngineRelease(HostTextRef ref) {
    Entry* entry = EntryOf(ref);
    if (!entry) return kHostStaleTextRefErr;
    if (--entry->references == 0) win32::Handles().Dispose<Entry>(reinterpret_cast<uintptr_t>(ref), nullptr);
    return 0;
}

// ---------------------------------------------------------------- binding arguments

// The text data of the art an engine object speaks of, if it is still live.
TextData* TextOf(const TextEngineObject& object, Art** artOut = nullptr) {
    Art* art = Document::fromHandle(object.art);
    if (!art) return nullptr;
    if (artOut) *artOut = art;
    return std::get_if<TextData>(&art->data);
}

// A live engine object of one kind; a released reference, or one of another
// kind, is kHostStaleTextRefErr.
template <TextEngineObject::Kind kind>
struct Engine {
    using From = HostTextRef;
    TextEngineObject* object = nullptr;

    TextEngineObject* operator->() const { return object; }

    static HostErr Bind(HostTextRef ref, Engine& held) {
        held.object = TextEngineObjectOf(ref);
        if (held.object && held.object->kind != kind) held.object = nullptr;
        return held.object ? 0 : kHostStaleTextRefErr;
    }
};

// The same, with the text it speaks of, which must still be live
// (kHostBadParameterErr).
template <TextEngineObject::Kind kind>
struct EngineText : Engine<kind> {
    Art* art = nullptr;
    TextData* text = nullptr;

    void touch() const { art->document()->touch(art); }

    static HostErr Bind(HostTextRef ref, EngineText& held) {
        if (HostErr err = Engine<kind>::Bind(ref, held)) return err;
        held.text = TextOf(*held.object, &held.art);
        return held.text ? 0 : kHostBadParameterErr;
    }
};

using Frame = EngineText<TextEngineObject::Frame>;
using Story = EngineText<TextEngineObject::Story>;
using Range = EngineText<TextEngineObject::Range>;
using Runs = EngineText<TextEngineObject::Runs>;
using CharFeatures = Engine<TextEngineObject::CharFeatures>;
using ParaFeatures = Engine<TextEngineObject::ParaFeatures>;

HostErr NewRange(HostArt art, size_t start, size_t end, HostTextRef& out) {
    TextEngineObject o;
    o.kind = TextEngineObject::Range;
    o.art = art;
    o.start = start;
    o.end = end;
    out = NewTextEngineObject(o);
    return 0;
}

HostErr NewStory(HostArt art, HostTextRef& out) {
    TextEngineObject o;
    o.kind = TextEngineObject::Story;
    o.art = art;
    out = NewTextEngineObject(o);
    return 0;
}

// The range's ends, cut to the story as it is now.
std::pair<size_t, size_t> Ends(const TextEngineObject& range, const TextData& text) {
    const size_t length = StoryLength(text);
    const size_t end = std::min(range.end, length);
    return {std::min(range.start, end), end};
}

std::pair<size_t, size_t> Ends(const Range& range) { return Ends(*range.object, *range.text); }

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

namespace ATETextFrame {

HostErr GetMatrix(Frame frame, HostMatrix& matrix) {
    matrix = PageToEngine(frame.text->matrix);
    return 0;
}

HostErr GetType(Frame frame, int32_t& kind) {
    kind = frame.text->frameKind;
    return 0;
}

HostErr GetLineOrientation(Frame frame, int32_t& orientation) {
    orientation = frame.text->orientation;
    return 0;
}

HostErr GetTextRange(Frame frame, HostBool includeOverflow, HostTextRef& range) {
    const size_t end = includeOverflow ? StoryLength(*frame.text) : VisibleEnd(*frame.text);
    return NewRange(frame->art, 0, end, range);
}

HostErr GetStory(Frame frame, HostTextRef& story) { return NewStory(frame->art, story); }

}  // namespace ATETextFrame

// ---------------------------------------------------------------- ATE Story

namespace ATEStory {

HostErr GetTextRange(Story story, HostTextRef& range) {
    return NewRange(story->art, 0, StoryLength(*story.text), range);
}

HostErr GetSize(Story story, int32_t& size) {
    size = static_cast<int32_t>(StoryLength(*story.text));
    return 0;
}

}  // namespace ATEStory

// ---------------------------------------------------------------- ATE TextRange

namespace ATETextRange {

HostErr GetStart(Range range, int32_t& start) {
    start = static_cast<int32_t>(Ends(range).first);
    return 0;
}

HostErr GetEnd(Range range, int32_t& end) {
    end = static_cast<int32_t>(Ends(range).second);
    return 0;
}

HostErr GetSize(Range range, int32_t& size) {
    const auto [start, end] = Ends(range);
    size = static_cast<int32_t>(end - start);
    return 0;
}

HostErr GetContents(Range range, char* buffer, int32_t size, int32_t* needed) {
    const auto [start, end] = Ends(range);
    return CopyOut(StoryContents(*range.text, start, end), buffer, size, needed);
}

HostErr GetStory(Range range, HostTextRef& story) { return NewStory(range->art, story); }

HostErr GetTextRuns(Range range, HostTextRef& runs) {
    const auto [start, end] = Ends(range);
    TextEngineObject o;
    o.kind = TextEngineObject::Runs;
    o.art = range->art;
    o.start = o.position = start;
    o.end = end;
    runs = NewTextEngineObject(o);
    return 0;
}

HostErr GetUniqueCharFeatures(Range range, HostTextRef& features) {
    const auto [start, end] = Ends(range);
    TextEngineObject o;
    o.kind = TextEngineObject::CharFeatures;
    o.chars = SharedCharFeatures(*range.text, start, end);
    features = NewTextEngineObject(o);
    return 0;
}

// The features are bound before the range's text is looked at.
HostErr SetLocalCharFeatures(Engine<TextEngineObject::Range> range, CharFeatures features) {
    Art* art = nullptr;
    TextData* text = TextOf(*range.object, &art);
    if (!text) return kHostBadParameterErr;
    const auto [start, end] = Ends(*range.object, *text);
    ApplyCharFeatures(*text, start, end, features->chars);
    art->document()->touch(art);
    return 0;
}

HostErr GetUniqueParaFeatures(Range range, HostTextRef& features) {
    const auto [start, end] = Ends(range);
    const auto [first, last] = ParagraphsOf(*range.text, start, end);
    TextEngineObject o;
    o.kind = TextEngineObject::ParaFeatures;
    o.para.justification = JustificationOf(*range.text, first);
    for (size_t p = first + 1; p <= last; ++p)
        if (JustificationOf(*range.text, p) != *o.para.justification) o.para.justification.reset();
    features = NewTextEngineObject(o);
    return 0;
}

HostErr SetLocalParaFeatures(Engine<TextEngineObject::Range> range, ParaFeatures features) {
    Art* art = nullptr;
    TextData* text = TextOf(*range.object, &art);
    if (!text) return kHostBadParameterErr;
    if (features->para.justification) {
        const auto [start, end] = Ends(*range.object, *text);
        const auto [first, last] = ParagraphsOf(*text, start, end);
        for (size_t p = first; p <= last; ++p) SetJustification(*text, p, *features->para.justification);
        art->document()->touch(art);
    }
    return 0;
}

HostErr InsertAfter(Range range, const char* utf8) {
    if (!utf8) return kHostBadParameterErr;
    const auto [start, end] = Ends(range);
    const size_t before = StoryLength(*range.text);
    InsertText(*range.text, end, utf8);
    range->start = start;
    range->end = end + (StoryLength(*range.text) - before);
    range.touch();
    return 0;
}

}  // namespace ATETextRange

// ---------------------------------------------------------------- ATE TextRunsIterator

namespace ATETextRunsIterator {

HostErr IsDone(Runs runs, HostBool& done) {
    done = runs->position >= std::min(runs->end, StoryLength(*runs.text));
    return 0;
}

HostErr Next(Runs runs) {
    const auto stretch = StretchAt(*runs.text, runs->position, runs->end);
    runs->position = stretch ? stretch->end : runs->end;
    return 0;
}

HostErr Item(Runs runs, HostTextRef& range) {
    const auto stretch = StretchAt(*runs.text, runs->position, runs->end);
    if (!stretch) return kHostIndexErr;
    return NewRange(runs->art, runs->position, stretch->end, range);
}

}  // namespace ATETextRunsIterator

// ---------------------------------------------------------------- ATE CharFeatures

template <TextEngineObject::Kind kind>
HostErr InitializeFeatures(HostTextRef& features) {
    TextEngineObject o;
    o.kind = kind;
    features = NewTextEngineObject(o);
    return 0;
}

namespace ATECharFeatures {

HostErr Clone(CharFeatures features, HostTextRef& copy) {
    copy = NewTextEngineObject(*features.object);
    return 0;
}

HostErr GetFont(CharFeatures features, HostBool& assigned, char* buffer, int32_t size, int32_t* needed) {
    assigned = features->chars.font.has_value();
    return CopyOut(features->chars.font.value_or(""), buffer, size, needed);
}

HostErr SetFont(CharFeatures features, const char* name) {
    if (!name) return kHostBadParameterErr;
    features->chars.font = name;
    return 0;
}

using RealFeature = std::optional<double> CharFeatureSet::*;

template <RealFeature field>
HostErr GetReal(CharFeatures features, HostBool* assigned, double* out) {
    if (!assigned || !out) return kHostBadParameterErr;
    const std::optional<double>& value = features->chars.*field;
    *assigned = value.has_value();
    if (value) *out = *value;
    return 0;
}

// Sizes and scales must be positive: a negative one would turn glyphs over.
template <RealFeature field>
HostErr SetPositive(CharFeatures features, double value) {
    if (!std::isfinite(value) || value <= 0) return kHostBadParameterErr;
    features->chars.*field = value;
    return 0;
}

template <RealFeature field>
HostErr SetFinite(CharFeatures features, double value) {
    if (!std::isfinite(value)) return kHostBadParameterErr;
    features->chars.*field = value;
    return 0;
}

}  // namespace ATECharFeatures

// ---------------------------------------------------------------- ATE ParaFeatures

namespace ATEParaFeatures {

HostErr GetJustification(ParaFeatures features, HostBool* assigned, int32_t* justification) {
    if (!assigned || !justification) return kHostBadParameterErr;
    *assigned = features->para.justification.has_value();
    if (features->para.justification) *justification = static_cast<int32_t>(*features->para.justification);
    return 0;
}

HostErr SetJustification(ParaFeatures features, int32_t justification) {
    if (justification < kHostJustifyLeft || justification > kHostJustifyCenter) return kHostBadParameterErr;
    features->para.justification = static_cast<Justification>(justification);
    return 0;
}

}  // namespace ATEParaFeatures

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

// Every text-engine suite begins with the reference counting.
constexpr const HostTextEngineSuite& kReferences = SuiteTable<HostTextEngineSuite, TextEngineAddRef, TextEngineRelease>;

const HostTextEngineSuite& TextEngineSuite() { return kReferences; }

const HostATETextFrameSuite& ATETextFrameSuite() {
    using namespace ATETextFrame;
    return SuiteTable<HostATETextFrameSuite, Nested<kReferences>, GetMatrix, GetType, GetLineOrientation, GetTextRange,
                      GetStory>;
}

const HostATEStorySuite& ATEStorySuite() {
    using namespace ATEStory;
    return SuiteTable<HostATEStorySuite, Nested<kReferences>, GetTextRange, GetSize>;
}

const HostATETextRangeSuite& ATETextRangeSuite() {
    using namespace ATETextRange;
    return SuiteTable<HostATETextRangeSuite, Nested<kReferences>, GetStart, GetEnd, GetSize, GetContents, GetStory,
                      GetTextRuns, GetUniqueCharFeatures, SetLocalCharFeatures, GetUniqueParaFeatures,
                      SetLocalParaFeatures, InsertAfter>;
}

const HostATETextRunsIteratorSuite& ATETextRunsIteratorSuite() {
    using namespace ATETextRunsIterator;
    return SuiteTable<HostATETextRunsIteratorSuite, Nested<kReferences>, IsDone, Next, Item>;
}

const HostATECharFeaturesSuite& ATECharFeaturesSuite() {
    using namespace ATECharFeatures;
    return SuiteTable<HostATECharFeaturesSuite, Nested<kReferences>,
                      Named<"ATECharFeatures.Initialize", InitializeFeatures<TextEngineObject::CharFeatures>>, Clone,
                      GetFont, SetFont, Named<"ATECharFeatures.GetFontSize", GetReal<&CharFeatureSet::fontSize>>,
                      Named<"ATECharFeatures.SetFontSize", SetPositive<&CharFeatureSet::fontSize>>,
                      Named<"ATECharFeatures.GetHorizontalScale", GetReal<&CharFeatureSet::horizontalScale>>,
                      Named<"ATECharFeatures.SetHorizontalScale", SetPositive<&CharFeatureSet::horizontalScale>>,
                      Named<"ATECharFeatures.GetVerticalScale", GetReal<&CharFeatureSet::verticalScale>>,
                      Named<"ATECharFeatures.SetVerticalScale", SetPositive<&CharFeatureSet::verticalScale>>,
                      Named<"ATECharFeatures.GetCharacterRotation", GetReal<&CharFeatureSet::rotation>>,
                      Named<"ATECharFeatures.SetCharacterRotation", SetFinite<&CharFeatureSet::rotation>>>;
}

const HostATEParaFeaturesSuite& ATEParaFeaturesSuite() {
    return SuiteTable<HostATEParaFeaturesSuite, Nested<kReferences>,
                      Named<"ATEParaFeatures.Initialize", InitializeFeatures<TextEngineObject::ParaFeatures>>,
                      ATEParaFeatures::GetJustification, ATEParaFeatures::SetJustification>;
}

}  // namespace orbalis::host
