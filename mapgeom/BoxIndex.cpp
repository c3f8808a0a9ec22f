#include "mapgeom/BoxIndex.h"

#include <algorithm>
#include <cmath>

namespace orbalis {
namespace {

// A rectangle covering more cells than this is offered to every query.
constexpr double kWideCells = 64;

bool Finite(const HostRect& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}

}  // namespace

BoxIndex::BoxIndex(const std::vector<HostRect>& boxes, const std::vector<bool>& indexed)
    : boxes_(boxes), seen_(boxes.size(), 0) {
    std::vector<size_t> gridded;
    double left = HUGE_VAL, bottom = HUGE_VAL, right = -HUGE_VAL, top = -HUGE_VAL, sizes = 0;
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (!indexed[i]) continue;
        items_.push_back(i);
        const HostRect& b = boxes_[i];
        if (!Finite(b)) {
            wide_.push_back(i);
            continue;
        }
        gridded.push_back(i);
        left = std::min(left, b.left);
        bottom = std::min(bottom, b.bottom);
        right = std::max(right, b.right);
        top = std::max(top, b.top);
        sizes += std::max(b.right - b.left, b.top - b.bottom);
    }
    const double width = right - left, height = top - bottom;
    if (gridded.empty() || !std::isfinite(width) || !std::isfinite(height) || !std::isfinite(sizes)) {
        // Nothing a grid could sort: every item is offered to every query.
        wide_ = items_;
        cellStart_.assign(2, 0);
        return;
    }

    // Cells the size of the average rectangle, but never many more cells than
    // rectangles (a few small shapes far apart would otherwise ask for a vast grid).
    const double limit = 4.0 * static_cast<double>(gridded.size()) + 16;
    double cell = std::max(sizes / static_cast<double>(gridded.size()), 1e-9);
    double columns = 1, rows = 1;
    for (;;) {
        columns = std::max(1.0, std::ceil(width / cell));
        rows = std::max(1.0, std::ceil(height / cell));
        if (columns * rows <= limit) break;
        cell *= std::sqrt(columns * rows / limit) * 1.01;
    }
    left_ = left;
    bottom_ = bottom;
    cellSize_ = cell;
    columns_ = static_cast<int32_t>(columns);
    rows_ = static_cast<int32_t>(rows);

    // Cells hold their items in increasing order, stored cell after cell.
    const size_t cellCount = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
    std::vector<CellRange> ranges;
    std::vector<size_t> stored;
    std::vector<size_t> counts(cellCount + 1, 0);
    for (size_t i : gridded) {
        const CellRange r = CellsOf(boxes_[i]);
        if (double(r.col1 - r.col0 + 1) * double(r.row1 - r.row0 + 1) > kWideCells) {
            wide_.push_back(i);
            continue;
        }
        for (int32_t row = r.row0; row <= r.row1; ++row)
            for (int32_t col = r.col0; col <= r.col1; ++col) ++counts[size_t(row) * columns_ + col + 1];
        ranges.push_back(r);
        stored.push_back(i);
    }
    std::sort(wide_.begin(), wide_.end());
    for (size_t c = 0; c < cellCount; ++c) counts[c + 1] += counts[c];
    cellStart_ = counts;
    cellItems_.resize(cellStart_.back());
    for (size_t k = 0; k < stored.size(); ++k) {
        const CellRange& r = ranges[k];
        for (int32_t row = r.row0; row <= r.row1; ++row)
            for (int32_t col = r.col0; col <= r.col1; ++col)
                cellItems_[counts[size_t(row) * columns_ + col]++] = stored[k];
    }
}

int32_t BoxIndex::Column(double x) const {
    const double f = std::floor((x - left_) / cellSize_);
    if (!(f >= 0)) return 0;  // NaN as well
    return f >= columns_ - 1 ? columns_ - 1 : static_cast<int32_t>(f);
}

int32_t BoxIndex::Row(double y) const {
    const double f = std::floor((y - bottom_) / cellSize_);
    if (!(f >= 0)) return 0;
    return f >= rows_ - 1 ? rows_ - 1 : static_cast<int32_t>(f);
}

BoxIndex::CellRange BoxIndex::CellsOf(const HostRect& box) const {
    return {Column(box.left), Row(box.bottom), Column(box.right), Row(box.top)};
}

void BoxIndex::Query(const HostRect& box, size_t from, std::vector<size_t>& out) {
    out.clear();
    const auto first = [from](const std::vector<size_t>& items) {
        return std::lower_bound(items.cbegin(), items.cend(), from);
    };
    const CellRange r = CellsOf(box);
    const double cells = double(r.col1 - r.col0 + 1) * double(r.row1 - r.row0 + 1);
    if (!Finite(box) || cells > static_cast<double>(items_.size())) {
        // Looking at every item is as quick as looking at that many cells.
        out.assign(first(items_), items_.cend());
        return;
    }
    if (++query_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        query_ = 1;
    }
    for (int32_t row = r.row0; row <= r.row1; ++row) {
        for (int32_t col = r.col0; col <= r.col1; ++col) {
            const size_t c = size_t(row) * columns_ + col;
            for (size_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
                const size_t item = cellItems_[k];
                if (item < from || seen_[item] == query_) continue;
                seen_[item] = query_;
                out.push_back(item);
            }
        }
    }
    out.insert(out.end(), first(wide_), wide_.cend());
    std::sort(out.begin(), out.end());
}

}  // namespace orbalis
