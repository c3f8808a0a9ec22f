// Percentages in user space units, measured against the file's viewport.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string_view>

#include "host/io/svg/SvgStyle.h"

namespace orbalis::host::svg {

// Gradients, patterns, masks and filters in user space units, markers and
// nested svg elements take their percentages (and the percentages their
// defaults are) of the viewport of the element that uses them. What the reader keeps of them is written back
// under a root whose viewport is in points, not in the file's units; so the
// percentages of those in the root's own viewport become user units here,
// and so do the defaults of those that take nothing from a template.
// `basis` holds the root viewport in user units; `svgName` names elements.
void ResolveUserSpacePercentages(pugi::xml_node root, const LengthBasis& basis,
                                 const std::function<std::string_view(pugi::xml_node)>& svgName);

}  // namespace orbalis::host::svg
