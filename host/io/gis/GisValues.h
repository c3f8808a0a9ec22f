// Attribute values and colours as GIS columns hold them.
#pragma once

#include <ogr_feature.h>

#include <string>
#include <vector>

#include "host/io/gis/Georeference.h"
#include "host/model/Art.h"

namespace orbalis::host::gis {

// The columns written back with each feature's colours.
inline constexpr const char* kFillField = "fill";           // "#rrggbb"
inline constexpr const char* kFillCmykField = "fill_cmyk";  // "C,M,Y,K" in percent
inline constexpr const char* kStrokeField = "stroke";       // "#rrggbb"

// A field's value as text that setting the field from gives back the same
// value (reals with as many digits as that takes).
std::string FieldText(const OGRFeature& feature, int field);

bool EqualFolded(const std::string& a, const std::string& b);
// The index of the field of that name (compared without regard to ASCII
// case), or -1.
int FieldIndex(const std::vector<FieldRecord>& fields, const char* name);

// A paint's colour as "#rrggbb" and as process percentages "C,M,Y,K" (gray
// as black alone; RGB converted naively); empty for paints without a colour
// (patterns, gradients, none).
std::string HexText(const HostColor& color);
std::string CmykText(const HostColor& color);
bool ParseHexColor(const std::string& text, HostColor* color);
bool ParseCmykText(const std::string& text, HostColor* color);

// Gives a path, or every path of a compound path, this fill.
void SetFill(Art& art, const HostColor& color);
// The fill and stroke of an object: its own, or its first path's for a
// compound path or a group; false when it has none.
bool FindStyle(const Art& art, HostPathStyle* style);

}  // namespace orbalis::host::gis
