// Colouring a graph so that neighbours differ: the depth-first search over
// nodes in order, each trying colours 1 to m in increasing order.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace orbalis {

enum class ColorSearchResult { Found, Exhausted, Cancelled };

// Called on every visit of node k of n; returns true to stop the search.
using ColorSearchProgress = std::function<bool(int32_t k, int32_t n)>;

// Assigns colours 1..colorCount to nodes 0 .. n-2 so that no two neighbours
// share one; the last node keeps colour 0. The result is the first
// assignment in the order of the plain chronological search (node 0's colour
// varying slowest, colours tried from 1 up), found by conflict-directed
// backjumping: on a dead end the search returns straight to the latest node
// that caused it, skipping only subtrees that hold no assignment.
//
// `colors` must hold n zeros. On Exhausted every node holds 0; on Cancelled
// the nodes assigned so far keep their colours and the rest hold 0.
ColorSearchResult SearchColors(const std::vector<std::vector<int32_t>>& adjacency, int32_t colorCount,
                               std::vector<int32_t>& colors, const ColorSearchProgress& progress);

}  // namespace orbalis
