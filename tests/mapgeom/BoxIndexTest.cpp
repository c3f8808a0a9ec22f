// The grid of boxes behind the colour coding's scan: whatever the mix of
// sizes and positions, a query returns every indexed box that overlaps, in
// order, once, and nothing numbered below its start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "mapgeom/BoxIndex.h"

namespace orbalis {
namespace {

bool Overlaps(const HostRect& a, const HostRect& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

void ExpectQueriesComplete(const std::vector<HostRect>& boxes, const std::vector<bool>& indexed) {
    BoxIndex index(boxes, indexed);
    std::vector<size_t> found;
    for (size_t from : {size_t{0}, boxes.size() / 3, boxes.size()}) {
        for (size_t q = 0; q < boxes.size(); ++q) {
            index.Query(boxes[q], from, found);
            ASSERT_TRUE(std::is_sorted(found.begin(), found.end()));
            ASSERT_TRUE(std::adjacent_find(found.begin(), found.end()) == found.end()) << "an item twice";
            for (size_t item : found) {
                ASSERT_GE(item, from);
                ASSERT_TRUE(indexed[item]);
            }
            for (size_t i = from; i < boxes.size(); ++i) {
                if (!indexed[i] || !Overlaps(boxes[i], boxes[q])) continue;
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i))
                    << "box " << i << " overlaps box " << q << " but was not found";
            }
        }
    }
}

TEST(BoxIndexTest, FindsEveryOverlapAmongBoxesOfEverySize) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> place(0, 1000), size(0, 1);
    std::vector<HostRect> boxes;
    std::vector<bool> indexed;
    for (int i = 0; i < 600; ++i) {
        // Mostly small boxes, some a tenth of the map, a few covering it.
        const double s = i % 97 == 0 ? 1200 : i % 13 == 0 ? 100 : 1 + 20 * size(random);
        const double x = place(random), y = place(random);
        boxes.push_back({x, y + s * size(random), x + s * size(random), y});
        indexed.push_back(i % 11 != 0);
    }
    // Touching edges count, and boxes of no size at all.
    boxes.push_back({10, 20, 20, 10});
    boxes.push_back({20, 20, 30, 10});
    boxes.push_back({30, 10, 30, 10});
    indexed.insert(indexed.end(), {true, true, true});
    ExpectQueriesComplete(boxes, indexed);
}

TEST(BoxIndexTest, FarApartAndNonFiniteBoxesAreStillFound) {
    // A few tiny boxes very far apart would ask for a vast grid.
    std::vector<HostRect> boxes{{0, 1, 1, 0},
                                {1e12, 1e12 + 1, 1e12 + 1, 1e12},
                                {-1e12, 1, -1e12 + 1, 0},
                                {0.5, 1.5, 1.5, 0.5},
                                {0, HUGE_VAL, 1, 0},
                                {NAN, 1, 1, 0},
                                {-1e308, 1e308, 1e308, -1e308}};
    ExpectQueriesComplete(boxes, std::vector<bool>(boxes.size(), true));

    std::vector<size_t> found{1};
    BoxIndex empty({}, {});
    empty.Query({0, 1, 1, 0}, 0, found);
    EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace orbalis
