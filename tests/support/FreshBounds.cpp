#include "tests/support/FreshBounds.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/model/Bounds.h"

namespace orbalis::testing {

bool FreshBounds(const host::Document& doc, const host::Art* art, HostRect* rect) {
    if (!art->isContainer()) return host::ArtDataBounds(doc, *art, rect);
    bool found = false;
    for (const host::Art* child = art->firstChild(); child; child = child->next()) {
        HostRect r{};
        if (!FreshBounds(doc, child, &r)) continue;
        if (!found) {
            *rect = r;
            found = true;
        } else {
            rect->left = std::min(rect->left, r.left);
            rect->right = std::max(rect->right, r.right);
            rect->bottom = std::min(rect->bottom, r.bottom);
            rect->top = std::max(rect->top, r.top);
        }
    }
    return found;
}

void ExpectBoundsAsFresh(const host::Document& doc, const host::Art* root, const char* step) {
    HostRect cached{}, fresh{};
    const bool hasCached = doc.bounds(root, &cached);
    ASSERT_EQ(hasCached, FreshBounds(doc, root, &fresh)) << step;
    if (hasCached) {
        EXPECT_EQ(cached.left, fresh.left) << step;
        EXPECT_EQ(cached.top, fresh.top) << step;
        EXPECT_EQ(cached.right, fresh.right) << step;
        EXPECT_EQ(cached.bottom, fresh.bottom) << step;
    }
    for (const host::Art* child = root->firstChild(); child; child = child->next())
        ExpectBoundsAsFresh(doc, child, step);
}

}  // namespace orbalis::testing
