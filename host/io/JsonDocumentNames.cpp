#include "host/io/JsonDocumentNames.h"

#include "host/model/Art.h"

namespace orbalis::host::json_format {

namespace {

constexpr NamedValue kArtTypes[] = {
    {kHostUnknownArt, "unknown"}, {kHostGroupArt, "group"},
    {kHostPathArt, "path"},       {kHostCompoundPathArt, "compoundPath"},
    {kHostPlacedArt, "placed"},   {kHostRasterArt, "raster"},
    {kHostPluginArt, "plugin"},   {kHostMeshArt, "mesh"},
    {kHostTextFrameArt, "text"},  {kHostSymbolArt, "symbol"},
    {kHostForeignArt, "foreign"}, {kHostLegacyTextArt, "legacyText"},
};

constexpr NamedValue kColorKinds[] = {
    {kHostGrayColor, "gray"},     {kHostFourColor, "cmyk"},         {kHostPatternColor, "pattern"},
    {kHostCustomColor, "custom"}, {kHostGradientColor, "gradient"}, {kHostThreeColor, "rgb"},
    {kHostNoneColor, "none"},
};

constexpr NamedValue kLineCaps[] = {{0, "butt"}, {1, "round"}, {2, "projecting"}};
constexpr NamedValue kLineJoins[] = {{0, "miter"}, {1, "round"}, {2, "bevel"}};

constexpr NamedValue kJustifications[] = {
    {static_cast<int32_t>(Justification::Left), "left"},
    {static_cast<int32_t>(Justification::Right), "right"},
    {static_cast<int32_t>(Justification::Center), "center"},
};

constexpr NamedValue kFrameKinds[] = {{0, "point"}, {1, "area"}, {2, "path"}};
constexpr NamedValue kOrientations[] = {{0, "horizontal"}, {1, "vertical"}};
constexpr NamedValue kDecorations[] = {
    {kUnderline, "underline"}, {kOverline, "overline"}, {kLineThrough, "line-through"}};

}  // namespace

std::span<const NamedValue> ArtTypeNames() { return kArtTypes; }
std::span<const NamedValue> ColorKindNames() { return kColorKinds; }
std::span<const NamedValue> LineCapNames() { return kLineCaps; }
std::span<const NamedValue> LineJoinNames() { return kLineJoins; }
std::span<const NamedValue> JustificationNames() { return kJustifications; }
std::span<const NamedValue> TextFrameKindNames() { return kFrameKinds; }
std::span<const NamedValue> TextOrientationNames() { return kOrientations; }
std::span<const NamedValue> TextDecorationNames() { return kDecorations; }

std::string_view NameOf(std::span<const NamedValue> table, int32_t value) {
    for (const auto& entry : table)
        if (entry.value == value) return entry.name;
    return {};
}

std::optional<int32_t> ValueOf(std::span<const NamedValue> table, std::string_view name) {
    for (const auto& entry : table)
        if (entry.name == name) return entry.value;
    return std::nullopt;
}

}  // namespace orbalis::host::json_format
