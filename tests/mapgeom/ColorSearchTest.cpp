// The colour search against the plain chronological search it must agree with.
#include <gtest/gtest.h>

#include <random>

#include "host/io/DocumentFiles.h"
#include "mapgeom/ColorSearch.h"
#include "mapgeom/PolygonColoring.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

using Graph = std::vector<std::vector<int32_t>>;

// The search as a plain depth-first recursion over nodes in order, colours
// tried from 1 up, the last node left at 0. Gives up (returns false) after
// `budget` visits.
struct PlainSearch {
    const Graph& graph;
    int32_t colorCount;
    std::vector<int32_t> colors;
    uint64_t budget;
    uint64_t visits = 0;
    bool outOfBudget = false;

    bool Search(int32_t k) {
        if (++visits > budget) return outOfBudget = true, false;
        const int32_t n = static_cast<int32_t>(graph.size());
        if (k >= n - 1) return true;
        for (int32_t c = 1; c <= colorCount; ++c) {
            bool free = true;
            for (int32_t j : graph[size_t(k)]) free = free && colors[size_t(j)] != c;
            if (!free) continue;
            colors[size_t(k)] = c;
            if (Search(k + 1)) return true;
            if (outOfBudget) return false;
            colors[size_t(k)] = 0;
        }
        return false;
    }
};

// Colours by both searches; false when the plain one ran out of budget.
bool Compare(const Graph& graph, int32_t colorCount, uint64_t budget = 100'000) {
    PlainSearch plain{graph, colorCount, std::vector<int32_t>(graph.size(), 0), budget};
    const bool found = plain.Search(0);
    if (plain.outOfBudget) return false;
    std::vector<int32_t> colors(graph.size(), 0);
    const ColorSearchResult result = SearchColors(graph, colorCount, colors, nullptr);
    EXPECT_EQ(result, found ? ColorSearchResult::Found : ColorSearchResult::Exhausted);
    EXPECT_EQ(colors, plain.colors);
    return true;
}

void Connect(Graph& g, int32_t a, int32_t b) {
    g[size_t(a)].push_back(b);
    g[size_t(b)].push_back(a);
}

// A planar map: a jittered grid of cells, each touching its right and lower
// neighbours and one of its diagonals, with some borders removed, nodes
// numbered in a shuffled order.
Graph PlanarMap(int rows, int cols, std::mt19937& random) {
    const int n = rows * cols;
    std::vector<int32_t> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[size_t(i)] = i;
    std::shuffle(order.begin(), order.end(), random);
    Graph g(static_cast<size_t>(n));
    std::bernoulli_distribution keep(0.85), diagonal(0.5);
    auto id = [&](int r, int c) { return order[size_t(r * cols + c)]; };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            if (c + 1 < cols && keep(random)) Connect(g, id(r, c), id(r, c + 1));
            if (r + 1 < rows && keep(random)) Connect(g, id(r, c), id(r + 1, c));
            if (r + 1 < rows && c + 1 < cols) {
                if (diagonal(random))
                    Connect(g, id(r, c), id(r + 1, c + 1));
                else
                    Connect(g, id(r, c + 1), id(r + 1, c));
            }
        }
    return g;
}

TEST(ColorSearch, AgreesWithThePlainSearchOnGeneratedPlanarMaps) {
    std::mt19937 random(20261207);
    int compared = 0, tried = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const int rows = 2 + trial % 9, cols = 2 + (trial * 7) % 13;
        const Graph g = PlanarMap(rows, cols, random);
        for (int32_t colors : {3, 4, 6}) {
            compared += Compare(g, colors);
            ++tried;
        }
    }
    // Where the plain search gives up, it is thrashing; most maps finish.
    EXPECT_GT(compared, tried / 2);
}

TEST(ColorSearch, AgreesOnGraphsWithoutAColouring) {
    // Seven nodes all touching each other need seven colours; with the last
    // node never coloured six suffice, so an eighth makes it impossible.
    Graph g(8);
    for (int32_t a = 0; a < 8; ++a)
        for (int32_t b = a + 1; b < 8; ++b) Connect(g, a, b);
    ASSERT_TRUE(Compare(g, 6));
    std::vector<int32_t> colors(8, 0);
    EXPECT_EQ(SearchColors(g, 6, colors, nullptr), ColorSearchResult::Exhausted);
    EXPECT_EQ(colors, std::vector<int32_t>(8, 0));

    // A dead end deep down that only an early node can mend: the plain search
    // retries everything in between, the backjumping one goes straight back.
    Graph trap(40);
    for (int32_t a = 0; a < 3; ++a)
        for (int32_t b = a + 1; b < 3; ++b) Connect(trap, a, b);
    for (int32_t k = 3; k < 36; ++k) Connect(trap, k, k + 1);
    for (int32_t a : {0, 1, 36, 37})
        for (int32_t b : {0, 1, 36, 37})
            if (a < b) Connect(trap, a, b);
    Connect(trap, 38, 2);
    int32_t visits = 0;
    std::vector<int32_t> colors3(trap.size(), 0);
    EXPECT_EQ(SearchColors(trap, 3, colors3, [&](int32_t, int32_t) { return ++visits > 1000; }),
              ColorSearchResult::Exhausted);
    EXPECT_LT(visits, 500) << "each node of the chain is retried at most once";
    PlainSearch plain{trap, 3, std::vector<int32_t>(trap.size(), 0), 100'000};
    EXPECT_FALSE(plain.Search(0));
    EXPECT_TRUE(plain.outOfBudget) << "the plain search retries the whole chain";
}

TEST(ColorSearch, TheLastNodeKeepsZeroAndACancelKeepsTheColoursSoFar) {
    Graph g(4);
    Connect(g, 0, 1);
    Connect(g, 1, 2);
    Connect(g, 2, 3);
    Connect(g, 0, 3);
    std::vector<int32_t> colors(4, 0);
    EXPECT_EQ(SearchColors(g, 6, colors, nullptr), ColorSearchResult::Found);
    EXPECT_EQ(colors, (std::vector<int32_t>{1, 2, 1, 0}));

    std::vector<std::pair<int32_t, int32_t>> visits;
    std::fill(colors.begin(), colors.end(), 0);
    EXPECT_EQ(SearchColors(g, 6, colors,
                           [&](int32_t k, int32_t n) {
                               visits.emplace_back(k, n);
                               return k == 2;
                           }),
              ColorSearchResult::Cancelled);
    EXPECT_EQ(colors, (std::vector<int32_t>{1, 2, 0, 0}));
    EXPECT_EQ(visits, (std::vector<std::pair<int32_t, int32_t>>{{0, 4}, {1, 4}, {2, 4}}));

    std::vector<int32_t> none;
    EXPECT_EQ(SearchColors({}, 6, none, nullptr), ColorSearchResult::Found);
}

// The graphs the command builds from real maps.
class RealMapSearchTest : public InProcessTest {
protected:
    Graph GraphOf(const std::string& file) {
        std::string error;
        auto document = host::ReadDocumentFile(std::string(ORBALIS_SOURCE_DIR) + "/examples/" + file, {}, &error);
        EXPECT_NE(document, nullptr) << error;
        if (!document) return {};
        host->OpenDocument(std::move(document));
        host::LoadedPlugin* plugin = host->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error);
        EXPECT_NE(plugin, nullptr) << error;
        user().QueueAnswer(true);
        CPolygonColoring command(plugin->ref());
        EXPECT_EQ(command.Run(), 0);
        colors = command.Colors();
        return command.Adjacency();
    }
    std::vector<int32_t> colors;
};

TEST_F(RealMapSearchTest, USStatesColourAsThePlainSearchDoes) {
    const Graph g = GraphOf("us-states.svg");
    ASSERT_EQ(g.size(), 49u);  // Alaska and Hawaii touch nothing
    PlainSearch plain{g, 6, std::vector<int32_t>(g.size(), 0), 10'000'000};
    ASSERT_TRUE(plain.Search(0));
    EXPECT_EQ(colors, plain.colors);
}

TEST_F(RealMapSearchTest, WorldCountriesColourAsThePlainSearchDoes) {
    const Graph g = GraphOf("world-countries-50m.svg");
    ASSERT_GT(g.size(), 150u);
    PlainSearch plain{g, 6, std::vector<int32_t>(g.size(), 0), 10'000'000};
    ASSERT_TRUE(plain.Search(0));
    EXPECT_EQ(colors, plain.colors);
}

}  // namespace
}  // namespace orbalis::testing
