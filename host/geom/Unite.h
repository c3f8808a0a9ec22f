// The Pathfinder unite effect: the union of the filled outlines of art.
#pragma once

#include <vector>

#include "host/model/Document.h"

namespace orbalis::host {

// Replaces `inputs` (paths, compound paths or groups of them) by the union of
// their filled outlines, placed where the first input stood and painted with
// its style:
//  - one piece without holes: one path;
//  - one piece with holes: one compound path;
//  - several pieces (contact at single points only counts as separate): a
//    group holding the pieces, each a path or a compound path.
// Curves are flattened finely enough that an edge shared by two inputs stays
// shared. Inputs with no filled area are removed and contribute nothing; an
// empty union leaves nothing in their place. `result` (may be null) receives
// the new art, or null for an empty union.
HostErr UniteArt(Document& document, const std::vector<Art*>& inputs, Art** result);

}  // namespace orbalis::host
