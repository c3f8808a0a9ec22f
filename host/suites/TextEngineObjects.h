// The text engine's objects, shared by the suites that hand them out.
#pragma once

#include <cstddef>

#include "host/model/TextStory.h"
#include "sdk/suites/TextEngineSuites.h"

namespace orbalis::host {

struct TextEngineObject {
    enum Kind { Plain, Frame, Story, Range, Runs, CharFeatures, ParaFeatures };
    Kind kind = Plain;
    HostArt art = nullptr;      // the text object a frame, story, range or runs iterator is of
    size_t start = 0, end = 0;  // a range, or the range a runs iterator walks
    size_t position = 0;        // a runs iterator: the start of its current run
    CharFeatureSet chars;
    ParaFeatureSet para;
};

// A new object holding one reference, owned by the caller.
// Taken by value: `object` may be a copy of one in the table, which can move.
HostTextRef NewTextEngineObject(TextEngineObject object);
// Null for a released or stale reference.
TextEngineObject* TextEngineObjectOf(HostTextRef ref);

// The text engine keeps frame matrices in the page mirrored (y down).
HostMatrix PageToEngine(const HostMatrix& page);
HostMatrix EngineToPage(const HostMatrix& engine);

}  // namespace orbalis::host
