#include "host/io/svg/SvgTextExport.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgTransform.h"
#include "host/model/Bounds.h"
#include "host/model/Geometry.h"

namespace orbalis::host::svg {
namespace {

bool IsTranslation(const HostMatrix& m) { return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1; }

}  // namespace

void WriteText(const Art* art, int depth, TextWriterContext& context, std::string& out) {
    const auto& text = std::get<TextData>(art->data);
    // The text's own SVG space to the written page: y turns down on both sides.
    // SVG has no character scales; one that all the runs share widens (or,
    // for vertical text, lengthens) the whole text instead, as the host lays
    // it out.
    HostMatrix own = kIdentity;
    if (!text.runs.empty()) {
        const bool vertical = text.orientation == 1;
        auto scaleOf = [&](const TextRun& r) {
            return vertical ? r.features.verticalScale : r.features.horizontalScale;
        };
        const double scale = scaleOf(text.runs.front());
        if (scale != 1 && std::all_of(text.runs.begin(), text.runs.end(),
                                      [&](const TextRun& r) { return scaleOf(r) == scale; }))
            own = vertical ? HostMatrix{1, 0, 0, scale, 0, 0} : HostMatrix{scale, 0, 0, 1, 0, 0};
    }
    HostMatrix g = Concat(Concat(kFlip, Concat(own, text.matrix)), kFlip);
    // SVG has no frames for text: area text starts at its frame's top, text
    // on a path at the path's start, each as point text.
    HostRect frame;
    if (text.frameKind != 0 && PathBounds(text.path, text.pathClosed, &frame)) {
        const double size = text.runs.empty() ? CharFeatures{}.fontSize : text.runs.front().features.fontSize;
        const Justification first = text.paragraphs.empty() ? Justification::Left : text.paragraphs.front();
        HostPoint anchor = text.path.front().p;
        if (text.frameKind == 1) {
            anchor.x = first == Justification::Center  ? (frame.left + frame.right) / 2
                       : first == Justification::Right ? frame.right
                                                       : frame.left;
            anchor.y = frame.top - 0.8 * size;
        }
        g = Translation(anchor.x, -anchor.y);
    }
    Attributes a;
    context.nameAttributes(art->name, a);
    std::string lineX = "0";
    if (IsTranslation(g)) {
        a.set("x", FormatCoordinate(g.tx));
        a.set("y", FormatCoordinate(g.ty));
        lineX = FormatCoordinate(g.tx);
    } else {
        a.set("transform", FormatTransform(g));
    }

    // Paragraphs, each a list of runs.
    struct Piece {
        std::string text;
        const CharFeatures* features;
    };
    std::vector<std::vector<Piece>> paragraphs(1);
    static const CharFeatures defaults{};
    for (const TextRun& run : text.runs) {
        size_t start = 0;
        while (true) {
            const size_t end = run.text.find_first_of("\r\n", start);
            const std::string part = run.text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!part.empty()) paragraphs.back().push_back({part, &run.features});
            if (end == std::string::npos) break;
            paragraphs.emplace_back();
            start = end + 1;
        }
    }
    const CharFeatures& base = text.runs.empty() ? defaults : text.runs.front().features;
    auto justification = [&](size_t i) {
        return i < text.paragraphs.size() ? text.paragraphs[i] : Justification::Left;
    };
    static const char* anchors[] = {"start", "end", "middle"};
    auto anchorOf = [&](Justification j) { return anchors[std::clamp(int(j), 0, 2)]; };

    auto featureAttributes = [&](const CharFeatures& f, const CharFeatures* than, Attributes& out) {
        if (!than || f.font != than->font) {
            if (!f.font.empty()) out.set("font-family", f.font);
        }
        if (!than || f.fontSize != than->fontSize) out.set("font-size", FormatCoordinate(f.fontSize));
        // SVG turns glyphs clockwise on its y-down page.
        if (than ? f.rotation != than->rotation : f.rotation != 0)
            out.set("rotate", FormatExact(f.rotation == 0 ? 0 : -f.rotation));
        const bool sameFill = than && f.fillPaint == than->fillPaint &&
                              (!f.fillPaint || std::memcmp(&f.fill, &than->fill, sizeof f.fill) == 0);
        if (!sameFill) {
            out.set("fill", f.fillPaint ? FormatColor(ShownColor(f.fill)) : "none");
            if (f.fillPaint && f.fill.kind == kHostFourColor) {
                const HostFourColor& c = f.fill.c.four;
                out.set(kCmykFillAttribute, FormatExact(c.cyan) + " " + FormatExact(c.magenta) + " " +
                                                FormatExact(c.yellow) + " " + FormatExact(c.black));
            }
        }
    };
    featureAttributes(base, nullptr, a);
    if (justification(0) != Justification::Left) a.set("text-anchor", anchorOf(justification(0)));
    if (text.orientation == 1) a.set("writing-mode", "vertical-rl");
    context.commonAttributes(art, a);

    std::string body;
    auto appendRuns = [&](const std::vector<Piece>& pieces) {
        for (const Piece& piece : pieces) {
            if (SameFeatures(*piece.features, base)) {
                AppendEscaped(body, piece.text, false);
                continue;
            }
            Attributes span;
            featureAttributes(*piece.features, &base, span);
            body += "<tspan";
            span.write(body);
            body += '>';
            AppendEscaped(body, piece.text, false);
            body += "</tspan>";
        }
    };
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i == 0) {
            appendRuns(paragraphs[0]);
            continue;
        }
        // Each further line sits one line height (its largest font size) lower.
        double height = 0;
        for (const Piece& piece : paragraphs[i]) height = std::max(height, piece.features->fontSize);
        if (paragraphs[i].empty() && !text.runs.empty()) height = text.runs.back().features.fontSize;
        Attributes line;
        line.set("x", lineX);
        line.set("dy", FormatCoordinate(height));
        if (justification(i) != justification(0)) line.set("text-anchor", anchorOf(justification(i)));
        body += "<tspan";
        line.write(body);
        body += '>';
        appendRuns(paragraphs[i]);
        body += "</tspan>";
    }
    out.append(size_t(depth), ' ');
    out += "<text";
    a.write(out);
    out += '>';
    out += body;
    out += "</text>\n";
}

}  // namespace orbalis::host::svg
