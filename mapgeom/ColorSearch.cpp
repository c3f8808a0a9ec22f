#include "mapgeom/ColorSearch.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace orbalis {
namespace {

// A set of node indices, kept sorted. The sets of a search hold a node's
// culprits: a few neighbours, and what dead ends further on handed back, so
// they stay small however large the graph.
class NodeSet {
public:
    void clear() { nodes_.clear(); }
    void add(int32_t i) {
        auto at = std::lower_bound(nodes_.begin(), nodes_.end(), i);
        if (at == nodes_.end() || *at != i) nodes_.insert(at, i);
    }
    void remove(int32_t i) {
        auto at = std::lower_bound(nodes_.begin(), nodes_.end(), i);
        if (at != nodes_.end() && *at == i) nodes_.erase(at);
    }
    void merge(const NodeSet& other) {
        std::vector<int32_t> both;
        both.reserve(nodes_.size() + other.nodes_.size());
        std::set_union(nodes_.begin(), nodes_.end(), other.nodes_.begin(), other.nodes_.end(),
                       std::back_inserter(both));
        nodes_.swap(both);
    }
    // The largest member, or -1 when empty.
    int32_t max() const { return nodes_.empty() ? -1 : nodes_.back(); }

private:
    std::vector<int32_t> nodes_;
};

}  // namespace

ColorSearchResult SearchColors(const std::vector<std::vector<int32_t>>& adjacency, int32_t colorCount,
                               std::vector<int32_t>& colors, const ColorSearchProgress& progress) {
    const int32_t n = static_cast<int32_t>(adjacency.size());
    const int32_t assigned = n - 1;  // the last node is never assigned
    std::vector<int32_t> nextColor(std::max(n, 1), 1);
    std::vector<NodeSet> conflicts(std::max(n, 1));

    int32_t k = 0;
    bool entering = true;  // k is visited afresh, not returned to
    for (;;) {
        if (entering) {
            if (progress && progress(k, n)) return ColorSearchResult::Cancelled;
            if (k >= assigned) return ColorSearchResult::Found;
            nextColor[k] = 1;
            conflicts[k].clear();
        }

        // The first colour from nextColor[k] that no earlier neighbour holds;
        // for each refused colour, remember the earliest neighbour holding it.
        bool placed = false;
        for (int32_t c = nextColor[k]; c <= colorCount && !placed; ++c) {
            int32_t culprit = -1;
            for (int32_t j : adjacency[k])
                if (j < k && colors[j] == c && (culprit < 0 || j < culprit)) culprit = j;
            if (culprit < 0) {
                colors[k] = c;
                nextColor[k] = c + 1;
                placed = true;
            } else {
                conflicts[k].add(culprit);
            }
        }
        if (placed) {
            ++k;
            entering = true;
            continue;
        }

        // Dead end: no colour of k fits whatever the nodes after the latest
        // culprit do, so go straight back to it.
        const int32_t back = conflicts[k].max();
        colors[k] = 0;
        if (back < 0) {
            std::fill(colors.begin(), colors.end(), 0);
            return ColorSearchResult::Exhausted;
        }
        conflicts[k].remove(back);
        conflicts[back].merge(conflicts[k]);
        for (int32_t i = back; i < k; ++i) colors[i] = 0;
        k = back;
        entering = false;
    }
}

}  // namespace orbalis
