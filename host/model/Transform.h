// Transforming art by a matrix, as the host's Transform Art operation does.
#pragma once

#include "host/model/Document.h"

namespace orbalis::host {

// `flags` are the kHostTransform* / kHostScaleLines option bits. Stroke
// widths are multiplied by `lineScale` when kHostScaleLines is set. Groups
// and compound paths have no geometry of their own; their children are
// transformed when kHostTransformChildren is set.
void TransformArt(Document& document, Art* art, const HostMatrix& matrix, double lineScale, int32_t flags);

}  // namespace orbalis::host
