// Walking the art tree through the host's Art suite.
#pragma once

#include "frame/HostSuites.h"

namespace orbalis {

// Calls `visit` (art) -> HostErr on `first`, its following siblings and
// everything inside them, in pre-order: each object, then its children,
// then its next sibling. The first non-zero code, from `visit` or the host,
// ends the walk and is returned.
template <typename Visit>
HostErr WalkArtTree(HostArt first, Visit&& visit) {
    for (HostArt art = first; art;) {
        if (HostErr err = visit(art)) return err;
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(art, &child)) return err;
        if (child) {
            if (HostErr err = WalkArtTree(child, visit)) return err;
        }
        if (HostErr err = sArt->GetArtSibling(art, &art)) return err;
    }
    return 0;
}

}  // namespace orbalis
