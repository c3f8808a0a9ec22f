// Which objects a click or a dragged rectangle on the page picks, as the
// host's selection tool picks them: the top-level objects of visible,
// unlocked layers, the frontmost first.
#pragma once

#include <vector>

#include "host/model/Document.h"

namespace orbalis::workbench {

// The frontmost selectable top-level object under `point` (page points, y
// up), or null. A filled shape is hit inside its outline, any path within
// `tolerance` points of its outline, other art inside its bounds.
host::Art* HitObject(const host::Document& document, HostPoint point, double tolerance);

// The selectable top-level objects whose bounds meet the rectangle.
std::vector<host::Art*> ObjectsInRect(const host::Document& document, const HostRect& rect);

// The selection tool's answer to a click (`hit` may be null) or a drag:
// without `extend` the selection becomes exactly the objects given; with it,
// a click toggles its object and a drag adds its objects. Selecting an
// object selects everything inside it.
void ApplyClick(host::Document& document, host::Art* hit, bool extend);
void ApplyDrag(host::Document& document, const std::vector<host::Art*>& objects, bool extend);

}  // namespace orbalis::workbench
