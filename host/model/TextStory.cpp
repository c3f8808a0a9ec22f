#include "host/model/TextStory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/model/Bounds.h"
#include "host/model/TextLayout.h"

namespace orbalis::host {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

// The story as one run of features per character.
struct Characters {
    std::u32string text;
    std::vector<size_t> run;  // index into the runs, per character
};

Characters Explode(const TextData& data) {
    Characters out;
    for (size_t r = 0; r < data.runs.size(); ++r) {
        const std::u32string part = DecodeUtf8(data.runs[r].text);
        out.text += part;
        out.run.insert(out.run.end(), part.size(), r);
    }
    return out;
}

// Joins neighbouring runs with the same features and drops empty ones.
void Normalise(TextData& data) {
    std::vector<TextRun> runs;
    for (TextRun& run : data.runs) {
        if (run.text.empty()) continue;
        if (!runs.empty() && SameFeatures(runs.back().features, run.features))
            runs.back().text += run.text;
        else
            runs.push_back(std::move(run));
    }
    // Empty text keeps one empty run, so that it still has features.
    if (runs.empty() && !data.runs.empty()) runs.push_back({"", data.runs.front().features});
    data.runs = std::move(runs);
}

// Splits the runs so that `position` starts a run.
void SplitAt(TextData& data, size_t position) {
    size_t at = 0;
    for (size_t r = 0; r < data.runs.size(); ++r) {
        const std::u32string part = DecodeUtf8(data.runs[r].text);
        if (position > at && position < at + part.size()) {
            TextRun tail{Encode(part.substr(position - at)), data.runs[r].features};
            data.runs[r].text = Encode(part.substr(0, position - at));
            data.runs.insert(data.runs.begin() + static_cast<std::ptrdiff_t>(r) + 1, std::move(tail));
            return;
        }
        at += part.size();
    }
}

template <typename T>
void Apply(const std::optional<T>& value, T& field) {
    if (value) field = *value;
}

template <typename T>
void Keep(std::optional<T>& value, const T& field) {
    if (value && !(*value == field)) value.reset();
}

}  // namespace

bool SameColor(const HostColor& a, const HostColor& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameFeatures(const CharFeatures& a, const CharFeatures& b) {
    return a.font == b.font && a.fontSize == b.fontSize && a.horizontalScale == b.horizontalScale &&
           a.verticalScale == b.verticalScale && a.rotation == b.rotation && a.fillPaint == b.fillPaint &&
           SameColor(a.fill, b.fill) && a.strokePaint == b.strokePaint && SameColor(a.stroke, b.stroke) &&
           a.strokeWidth == b.strokeWidth && a.strokeUnder == b.strokeUnder && a.tracking == b.tracking &&
           a.baselineShift == b.baselineShift && a.decoration == b.decoration && a.hidden == b.hidden &&
           a.fillServer == b.fillServer && a.strokeServer == b.strokeServer;
}

CharFeatures DefaultCharFeatures() {
    CharFeatures f;
    f.fill.kind = kHostGrayColor;
    f.fill.c.gray.gray = 1;
    f.stroke.kind = kHostGrayColor;
    f.stroke.c.gray.gray = 1;
    return f;
}

CharFeatureSet CharFeatureSet::Of(const CharFeatures& f) {
    CharFeatureSet s;
    s.font = f.font;
    s.fontSize = f.fontSize;
    s.horizontalScale = f.horizontalScale;
    s.verticalScale = f.verticalScale;
    s.rotation = f.rotation;
    s.fillPaint = f.fillPaint;
    s.fill = f.fill;
    s.strokePaint = f.strokePaint;
    s.stroke = f.stroke;
    s.strokeWidth = f.strokeWidth;
    return s;
}

void CharFeatureSet::keepShared(const CharFeatures& f) {
    Keep(font, f.font);
    Keep(fontSize, f.fontSize);
    Keep(horizontalScale, f.horizontalScale);
    Keep(verticalScale, f.verticalScale);
    Keep(rotation, f.rotation);
    Keep(fillPaint, f.fillPaint);
    if (fill && !SameColor(*fill, f.fill)) fill.reset();
    Keep(strokePaint, f.strokePaint);
    if (stroke && !SameColor(*stroke, f.stroke)) stroke.reset();
    Keep(strokeWidth, f.strokeWidth);
}

void CharFeatureSet::applyTo(CharFeatures& f) const {
    Apply(font, f.font);
    Apply(fontSize, f.fontSize);
    Apply(horizontalScale, f.horizontalScale);
    Apply(verticalScale, f.verticalScale);
    Apply(rotation, f.rotation);
    Apply(fillPaint, f.fillPaint);
    Apply(fill, f.fill);
    Apply(strokePaint, f.strokePaint);
    Apply(stroke, f.stroke);
    Apply(strokeWidth, f.strokeWidth);
}

size_t StoryLength(const TextData& text) {
    size_t n = 0;
    for (const TextRun& run : text.runs) n += DecodeUtf8(run.text).size();
    return n;
}

std::string StoryContents(const TextData& text, size_t start, size_t end) {
    const Characters c = Explode(text);
    end = std::min(end, c.text.size());
    if (start >= end) return {};
    return Encode(c.text.substr(start, end - start));
}

std::optional<RunStretch> StretchAt(const TextData& text, size_t position, size_t end) {
    size_t at = 0;
    for (size_t r = 0; r < text.runs.size(); ++r) {
        const size_t length = DecodeUtf8(text.runs[r].text).size();
        if (position >= at && position < at + length) return RunStretch{r, std::min(at + length, end)};
        at += length;
    }
    return std::nullopt;
}

void ApplyCharFeatures(TextData& text, size_t start, size_t end, const CharFeatureSet& set) {
    if (text.runs.empty()) text.runs.push_back({"", DefaultCharFeatures()});
    end = std::min(end, StoryLength(text));
    if (start >= end) {
        // An empty story still carries the features for what is typed into it.
        if (StoryLength(text) == 0) set.applyTo(text.runs.front().features);
        return;
    }
    SplitAt(text, start);
    SplitAt(text, end);
    size_t at = 0;
    for (TextRun& run : text.runs) {
        const size_t length = DecodeUtf8(run.text).size();
        if (at >= start && at + length <= end) set.applyTo(run.features);
        at += length;
    }
    Normalise(text);
}

CharFeatureSet SharedCharFeatures(const TextData& text, size_t start, size_t end) {
    if (text.runs.empty()) return {};
    const Characters c = Explode(text);
    if (c.text.empty()) return CharFeatureSet::Of(text.runs.front().features);
    start = std::min(start, c.text.size() - 1);
    end = std::max(std::min(end, c.text.size()), start + 1);
    CharFeatureSet set = CharFeatureSet::Of(text.runs[c.run[start]].features);
    for (size_t i = start + 1; i < end; ++i)
        if (c.run[i] != c.run[i - 1]) set.keepShared(text.runs[c.run[i]].features);
    return set;
}

size_t ParagraphCount(const TextData& text) {
    size_t n = 1;
    for (const TextRun& run : text.runs)
        for (char32_t ch : DecodeUtf8(run.text))
            if (ch == U'\r' || ch == U'\n') ++n;
    return n;
}

std::pair<size_t, size_t> ParagraphsOf(const TextData& text, size_t start, size_t end) {
    const Characters c = Explode(text);
    size_t paragraph = 0, first = 0, last = 0;
    bool firstSet = false;
    for (size_t i = 0; i <= c.text.size(); ++i) {
        if (i == start) {
            first = paragraph;
            firstSet = true;
        }
        if (firstSet && (i + 1 >= end || i == c.text.size())) {
            last = paragraph;
            break;
        }
        if (i < c.text.size() && (c.text[i] == U'\r' || c.text[i] == U'\n')) ++paragraph;
    }
    if (!firstSet) first = last = paragraph;
    return {first, std::max(first, last)};
}

Justification JustificationOf(const TextData& text, size_t paragraph) {
    return paragraph < text.paragraphs.size() ? text.paragraphs[paragraph] : Justification::Left;
}

void SetJustification(TextData& text, size_t paragraph, Justification justification) {
    if (text.paragraphs.size() <= paragraph) text.paragraphs.resize(paragraph + 1, Justification::Left);
    text.paragraphs[paragraph] = justification;
}

void RotationsIntoRuns(TextData& text) {
    if (text.glyphs.rotate.empty()) return;
    const Characters c = Explode(text);
    std::vector<TextRun> runs;
    for (size_t i = 0; i < c.text.size(); ++i) {
        CharFeatures features = text.runs[c.run[i]].features;
        const double own = i < text.glyphs.rotate.size() ? text.glyphs.rotate[i] : NAN;
        if (std::isfinite(own)) features.rotation = own;
        if (runs.empty() || !SameFeatures(runs.back().features, features)) runs.push_back({"", features});
        AppendUtf8(runs.back().text, c.text[i]);
    }
    if (!runs.empty()) text.runs = std::move(runs);
    text.glyphs.rotate.clear();
}

void InsertText(TextData& text, size_t position, const std::string& utf8) {
    const std::u32string inserted = DecodeUtf8(utf8);
    if (inserted.empty()) return;
    if (text.runs.empty()) text.runs.push_back({"", DefaultCharFeatures()});
    const Characters c = Explode(text);
    position = std::min(position, c.text.size());
    const size_t source = c.text.empty() ? 0 : c.run[position == 0 ? 0 : position - 1];
    const size_t paragraph = ParagraphsOf(text, position, position).first;

    std::vector<TextRun> runs;
    size_t lastRun = SIZE_MAX;
    auto push = [&](char32_t ch, size_t run) {
        if (run != lastRun) runs.push_back({"", text.runs[run].features});
        lastRun = run;
        AppendUtf8(runs.back().text, ch);
    };
    for (size_t i = 0; i < position; ++i) push(c.text[i], c.run[i]);
    lastRun = SIZE_MAX;
    for (char32_t ch : inserted) push(ch, source);
    lastRun = SIZE_MAX;
    for (size_t i = position; i < c.text.size(); ++i) push(c.text[i], c.run[i]);
    text.runs = std::move(runs);
    Normalise(text);
    // Characters placed apart keep their places; the new ones flow.
    for (std::vector<double>* list :
         {&text.glyphs.x, &text.glyphs.y, &text.glyphs.dx, &text.glyphs.dy, &text.glyphs.rotate})
        if (list->size() > position)
            list->insert(list->begin() + static_cast<std::ptrdiff_t>(position), inserted.size(), NAN);

    // New paragraphs take the justification of the one they were split from.
    const auto breaks =
        std::count_if(inserted.begin(), inserted.end(), [](char32_t ch) { return ch == U'\r' || ch == U'\n'; });
    if (breaks && paragraph < text.paragraphs.size())
        text.paragraphs.insert(text.paragraphs.begin() + static_cast<std::ptrdiff_t>(paragraph) + 1,
                               static_cast<size_t>(breaks), text.paragraphs[paragraph]);
}

size_t VisibleEnd(const TextData& text) {
    const size_t length = StoryLength(text);
    HostRect frame;
    if (text.frameKind != 1 || !PathBounds(text.path, text.pathClosed, &frame)) return length;
    constexpr double kSlack = 1e-9;
    auto inside = [&](HostPoint p) {
        return p.x >= frame.left - kSlack && p.x <= frame.right + kSlack && p.y >= frame.bottom - kSlack &&
               p.y <= frame.top + kSlack;
    };
    const std::vector<GlyphBox> glyphs = LayoutText(text);
    for (const GlyphBox& g : glyphs) {
        if (std::all_of(std::begin(g.corners), std::end(g.corners), inside)) continue;
        // The first line that does not fit starts the overflow.
        for (const GlyphBox& h : glyphs)
            if (h.line == g.line) return h.position;
    }
    return length;
}

}  // namespace orbalis::host
