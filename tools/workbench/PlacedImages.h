// Placed images in the page's drawing. The drawing is shown as an image,
// which loads nothing from outside itself: the files a document places by
// a relative path are put into the drawing as data, read from the root
// folder only.
#pragma once

#include <string>

#include "tools/workbench/RootFolder.h"

namespace orbalis::workbench {

// `svg` with every `xlink:href` of an <image> that names a picture file
// (PNG, JPEG, GIF, WebP, SVG) inside the root folder, relative to `folder`
// (the document's folder, relative to the root), replaced by a data address.
// Links that lead outside the root, to missing files or to anything else
// stay as they are (the page then shows nothing there).
std::string InlinePlacedImages(const std::string& svg, const RootFolder& root, const std::string& folder);

}  // namespace orbalis::workbench
