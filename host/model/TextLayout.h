// The host's text layout model. Simple and deterministic:
//  - a glyph's advance is the font size times the horizontal scale for a
//    full-width character (CJK and full-width forms), half that for others,
//    plus its tracking (thousandths of the font size);
//  - a baseline shift raises glyphs off the baseline (in vertical text it
//    moves them to the right); hidden runs take no room and have no glyphs;
//  - characters placed apart (TextData::glyphs) move the pen (x, dx) and,
//    in horizontal point and area text, the baseline for the rest of the
//    line (y, dy); a rotation of their own replaces the run's;
//  - the stroke, halo or not, and decorations do not change a glyph's box;
//  - a line is as high as its largest font size; glyphs rise 0.8 of their
//    font size above the baseline and reach 0.2 below it;
//  - a paragraph's justification puts its lines' start at, their centre on,
//    or their end at the x origin of the text's own space;
//  - vertical text runs down a column, columns advancing to the left;
//  - character rotation turns each glyph about its origin, and the frame
//    matrix maps the whole from the text's own space to the page.
// Point text starts at the origin of its own space (the anchor), and so does
// area text. Text on a path follows its path taken into its own space: a
// line starts at the path's start, middle or end as its justification says,
// each glyph's middle on the path, turned with it. Area and on-path text
// report the bounds of their frame path.
#pragma once

#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

struct GlyphBox {
    char32_t character;
    size_t position;  // in the story, line breaks counted
    size_t line;
    HostPoint corners[4];  // on the page, counter-clockwise from the bottom left
};

std::vector<GlyphBox> LayoutText(const TextData& text);

bool TextBounds(const TextData& text, HostRect* rect);

bool IsFullWidth(char32_t c);

// Decodes UTF-8, replacing malformed bytes with U+FFFD.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace orbalis::host
