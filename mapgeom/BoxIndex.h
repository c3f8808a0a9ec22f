// Finding which of a fixed list of rectangles may overlap a given one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/HostTypes.h"

namespace orbalis {

// A uniform grid over the extent of the rectangles, each cell about as wide
// and tall as a typical rectangle, so a query looks at a handful of cells
// whatever the number of rectangles. Rectangles that would cover many cells
// (a sea behind the land, a frame around the map) are kept apart and offered
// to every query instead of being stored in each cell.
//
// A query may return items that do not overlap (it is a filter: the caller
// makes the exact test), but never misses one that does, edges that touch
// included.
class BoxIndex {
public:
    // Items are numbered by their position in `boxes`; only those marked in
    // `indexed` are ever returned. Rectangles are (left, top, right, bottom)
    // with y pointing up.
    BoxIndex(const std::vector<HostRect>& boxes, const std::vector<bool>& indexed);

    // Adds to `out` (cleared first) every indexed item numbered `from` or
    // more whose rectangle may overlap `box`, in increasing order, each once.
    void Query(const HostRect& box, size_t from, std::vector<size_t>& out);

private:
    struct CellRange {
        int32_t col0, row0, col1, row1;
    };
    CellRange CellsOf(const HostRect& box) const;
    int32_t Column(double x) const;
    int32_t Row(double y) const;

    std::vector<HostRect> boxes_;
    std::vector<size_t> items_;      // every indexed item, in order
    std::vector<size_t> wide_;       // items offered to every query, in order
    std::vector<size_t> cellStart_;  // cell c holds cellItems_[cellStart_[c] .. cellStart_[c + 1])
    std::vector<size_t> cellItems_;
    std::vector<uint32_t> seen_;  // per item: the last query that returned it
    uint32_t query_ = 0;
    double left_ = 0, bottom_ = 0, cellSize_ = 1;
    int32_t columns_ = 1, rows_ = 1;
};

}  // namespace orbalis
