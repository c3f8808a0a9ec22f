// The colour coding's record of touching pairs, on its own.
#include <gtest/gtest.h>

#include <cstdint>

#include "mapgeom/AdjacencyScan.h"

namespace orbalis {
namespace {

// Stand-ins for top-level objects: the record only compares them.
HostArt Key(uintptr_t n) { return reinterpret_cast<HostArt>(n * 16); }

TEST(TouchingPairs, KeepsNodesAndNeighboursInTheOrderRecorded) {
    TouchingPairs pairs(nullptr, nullptr, nullptr);
    EXPECT_FALSE(pairs.foundAny());
    EXPECT_FALSE(pairs.Paired(Key(1), Key(2)));

    ASSERT_EQ(pairs.Record(Key(5), Key(3)), 0);
    ASSERT_EQ(pairs.Record(Key(3), Key(9)), 0);
    ASSERT_EQ(pairs.Record(Key(1), Key(5)), 0);
    ASSERT_EQ(pairs.Record(Key(9), Key(5)), 0);

    EXPECT_TRUE(pairs.foundAny());
    EXPECT_EQ(pairs.edgeCount(), 8u);
    EXPECT_EQ(pairs.nodes(), (std::vector<HostArt>{Key(5), Key(3), Key(9), Key(1)}));
    const std::vector<std::vector<int32_t>> neighbours = {{1, 3, 2}, {0, 2}, {1, 0}, {0}};
    EXPECT_EQ(pairs.neighbours(), neighbours);

    for (auto [a, b] : {std::pair{5, 3}, {3, 9}, {1, 5}, {9, 5}}) {
        EXPECT_TRUE(pairs.Paired(Key(a), Key(b))) << a << " " << b;
        EXPECT_TRUE(pairs.Paired(Key(b), Key(a))) << b << " " << a;
    }
    EXPECT_FALSE(pairs.Paired(Key(1), Key(3)));
    EXPECT_FALSE(pairs.Paired(Key(1), Key(9)));
    EXPECT_FALSE(pairs.Paired(Key(3), Key(4)));  // 4 was never recorded
    EXPECT_FALSE(pairs.Paired(Key(4), Key(3)));
}

}  // namespace
}  // namespace orbalis
