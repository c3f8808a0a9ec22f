// The `transform` attribute, viewBox and preserveAspectRatio.
#pragma once

#include <string>
#include <string_view>

#include "sdk/HostTypes.h"

namespace orbalis::host::svg {

// Parses a transform list (matrix, translate, scale, rotate with an
// optional centre, skewX, skewY). The result maps the element's space to
// its parent's: the last item of the list applies first.
bool ParseTransform(std::string_view text, HostMatrix* matrix);

// "matrix(a b c d e f)", or "translate(e f)" when that is all it is.
std::string FormatTransform(const HostMatrix& m);

struct ViewBox {
    double x = 0, y = 0, width = 0, height = 0;
};
// Four numbers; width and height must be positive.
bool ParseViewBox(std::string_view text, ViewBox* box);

// The matrix that fits `box` into a viewport of `width` by `height` at the
// origin as preserveAspectRatio `aspect` says (empty: "xMidYMid meet").
bool ViewBoxTransform(const ViewBox& box, double width, double height, std::string_view aspect, HostMatrix* matrix);

}  // namespace orbalis::host::svg
