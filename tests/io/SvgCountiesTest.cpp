// A real map: US counties written by mapshaper from us-atlas
// (examples/counties.svg; examples/maps/make-maps.sh makes it). Another
// counties SVG can be named by ORBALIS_COUNTIES_SVG. Timings are in
// bench/SvgBench.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

double MaxDifference(const Art* a, const Art* b) {
    double worst = 0;
    for (; a && b; a = a->next(), b = b->next()) {
        if (a->type() != b->type()) return INFINITY;
        if (a->path() && b->path()) {
            const auto& sa = a->path()->segments;
            const auto& sb = b->path()->segments;
            if (sa.size() != sb.size() || a->path()->closed != b->path()->closed) return INFINITY;
            for (size_t i = 0; i < sa.size(); ++i)
                for (auto [p, q] : {std::pair{sa[i].p, sb[i].p}, {sa[i].in, sb[i].in}, {sa[i].out, sb[i].out}})
                    worst = std::max({worst, std::fabs(p.x - q.x), std::fabs(p.y - q.y)});
        }
        worst = std::max(worst, MaxDifference(a->firstChild(), b->firstChild()));
    }
    return a || b ? INFINITY : worst;
}

TEST(SvgCounties, ImportsEveryCountyAndRoundTrips) {
    const char* named = std::getenv("ORBALIS_COUNTIES_SVG");
    const std::string path = named && *named ? named : ORBALIS_SOURCE_DIR "/examples/counties.svg";
    ASSERT_TRUE(std::ifstream(path)) << path << " cannot be read";
    const std::string text = ReadFile(path.c_str());

    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    ASSERT_TRUE(document) << error;

    ASSERT_EQ(document->topLayers().size(), 1u);
    const Layer* counties = document->topLayers().front();
    EXPECT_EQ(counties->title, "counties");
    size_t objects = 0, compound = 0;
    for (const Art* a = counties->group()->firstChild(); a; a = a->next()) {
        ++objects;
        EXPECT_TRUE(a->type() == kHostPathArt || a->type() == kHostCompoundPathArt) << a->name;
        EXPECT_FALSE(a->name.empty());
        compound += a->type() == kHostCompoundPathArt;
        // mapshaper repeats each ring's first point before closing it; the
        // importer folds that into the close.
        for (const Art* p = a->path() ? a : a->firstChild(); p; p = p == a ? nullptr : p->next()) {
            const auto& s = p->path()->segments;
            ASSERT_TRUE(p->path()->closed);
            ASSERT_GE(s.size(), 3u);
            EXPECT_FALSE(s.front().p.x == s.back().p.x && s.front().p.y == s.back().p.y) << a->name;
        }
        // Filled: with the map's light fill, or SVG's default black where no
        // fill is given.
        const HostPathStyle& style = (a->path() ? a : a->firstChild())->path()->style;
        EXPECT_TRUE(style.fillPaint);
    }
    // One object per <path> element mapshaper wrote.
    size_t paths = 0;
    for (size_t at = text.find("<path"); at != std::string::npos; at = text.find("<path", at + 1)) ++paths;
    EXPECT_EQ(objects, paths);
    if (!named) {
        EXPECT_EQ(objects, 3139u);
    }

    const std::string written = WriteSvgDocument(*document);
    auto again = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_LE(MaxDifference(document->topLayers().front()->group(), again->topLayers().front()->group()), 0.001);
    EXPECT_EQ(WriteSvgDocument(*again), written);
    std::printf("counties: %zu objects (%zu compound paths), %zu bytes read, %zu bytes written\n", objects, compound,
                text.size(), written.size());
}

}  // namespace
}  // namespace orbalis::host
