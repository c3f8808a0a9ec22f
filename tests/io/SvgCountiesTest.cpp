// A real map: US counties written by mapshaper. The file is made outside the
// repository (see the README of the examples); the test is skipped without it.
#include <gtest/gtest.h>

#include <chrono>
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
    const char* path = std::getenv("ORBALIS_COUNTIES_SVG");
    if (!path || !std::ifstream(path)) GTEST_SKIP() << "set ORBALIS_COUNTIES_SVG to a mapshaper counties SVG";
    const std::string text = ReadFile(path);

    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    auto t1 = Clock::now();
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
    }
    // One object per <path> element mapshaper wrote.
    size_t paths = 0;
    for (size_t at = text.find("<path"); at != std::string::npos; at = text.find("<path", at + 1)) ++paths;
    EXPECT_EQ(objects, paths);

    auto t2 = Clock::now();
    const std::string written = WriteSvgDocument(*document);
    auto t3 = Clock::now();
    auto again = ReadSvgDocument(written, {}, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_LE(MaxDifference(document->topLayers().front()->group(), again->topLayers().front()->group()), 0.001);
    EXPECT_EQ(WriteSvgDocument(*again), written);

    auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("counties: %zu objects (%zu compound), %zu bytes in, %zu bytes out; import %.1f ms, export %.1f ms\n",
                objects, compound, text.size(), written.size(), ms(t1 - t0), ms(t3 - t2));
}

}  // namespace
}  // namespace orbalis::host
