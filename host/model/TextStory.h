// Editing a text object's story by character positions: the runs of uniform
// character features, local feature application, paragraph justification
// and the part of the story an area frame shows. Positions count Unicode
// code points; '\r' ends a paragraph and counts as one character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

// Character features, each assigned or not: what a text-engine features
// object holds.
struct CharFeatureSet {
    std::optional<std::string> font;
    std::optional<double> fontSize, horizontalScale, verticalScale, rotation;
    std::optional<bool> fillPaint, strokePaint;
    std::optional<HostColor> fill, stroke;
    std::optional<double> strokeWidth;

    static CharFeatureSet Of(const CharFeatures& features);
    // Unassigns every feature whose value differs from `features`'.
    void keepShared(const CharFeatures& features);
    void applyTo(CharFeatures& features) const;
};

struct ParaFeatureSet {
    std::optional<Justification> justification;
};

bool SameFeatures(const CharFeatures& a, const CharFeatures& b);
bool SameColor(const HostColor& a, const HostColor& b);

// Features a character inserted into empty text gets.
CharFeatures DefaultCharFeatures();

size_t StoryLength(const TextData& text);
// The story's characters [start, end) in UTF-8.
std::string StoryContents(const TextData& text, size_t start, size_t end);

// The run that holds the character at `position` and where it ends, cut at
// `end`: the stretch of uniform features from `position`.
struct RunStretch {
    size_t run;
    size_t end;
};
std::optional<RunStretch> StretchAt(const TextData& text, size_t position, size_t end);

// Gives the characters [start, end) the assigned features of `set`, then
// joins neighbouring runs that came out alike.
void ApplyCharFeatures(TextData& text, size_t start, size_t end, const CharFeatureSet& set);
// The features every character of [start, end) shares (the character at
// `start` for an empty range; nothing assigned in empty text).
CharFeatureSet SharedCharFeatures(const TextData& text, size_t start, size_t end);

// The paragraphs [first, last] that the range [start, end) touches.
std::pair<size_t, size_t> ParagraphsOf(const TextData& text, size_t start, size_t end);
size_t ParagraphCount(const TextData& text);
Justification JustificationOf(const TextData& text, size_t paragraph);
void SetJustification(TextData& text, size_t paragraph, Justification justification);

// Gives each character that has a rotation of its own (glyphs.rotate) that
// rotation as its character rotation, splitting runs where needed, and
// clears the list: the host's own form of the same text.
void RotationsIntoRuns(TextData& text);

// Inserts UTF-8 text before the character at `position`, with the features
// of the character before it (of the first character, at the start).
void InsertText(TextData& text, size_t position, const std::string& utf8);

// Where the text an area frame shows ends: the lines that do not fit inside
// the frame's bounds, and everything after them, are overflow. Point and
// on-path text show their whole story.
size_t VisibleEnd(const TextData& text);

}  // namespace orbalis::host
