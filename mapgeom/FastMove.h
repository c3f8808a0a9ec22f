// "高速移動": moves every visible, unlocked object of the document by the
// vector of the one selected path, from its first anchor to its last.
#pragma once

#include <cstdint>

#include "sdk/suites/ArtSuites.h"

namespace orbalis {

class CFastMove {
public:
    // 0 also when the run ends with a message.
    HostErr Run();

private:
    // Finds the one selected path among groups; null when the selection holds
    // anything else, or more than one path.
    HostErr FindDestinationPath();
    HostErr MoveTree(HostArt art, const HostMatrix& move, bool withFollowingSiblings);
    HostErr MovePath(HostArt path, const HostMatrix& move);

    HostArt destinationPath = nullptr;
    int32_t guidesAsked = 0;
    int32_t ignoreGuides = 0;
};

}  // namespace orbalis
