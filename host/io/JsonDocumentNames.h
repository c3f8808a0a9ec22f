// The words of the native document format: its format tag and version, and
// the names it gives to the model's enumerated values. Shared by the reader
// and the writer so that both always agree.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace orbalis::host::json_format {

inline constexpr std::string_view kFormatTag = "orbalis-document";
inline constexpr int64_t kVersion = 1;
// Layers and groups nested deeper than this are refused when reading.
inline constexpr int kMaxNesting = 1000;

struct NamedValue {
    int32_t value;
    std::string_view name;
};

// Art types with a name of their own; any other type is written as its number.
std::span<const NamedValue> ArtTypeNames();
std::span<const NamedValue> ColorKindNames();
std::span<const NamedValue> LineCapNames();
std::span<const NamedValue> LineJoinNames();
std::span<const NamedValue> JustificationNames();
std::span<const NamedValue> TextFrameKindNames();
std::span<const NamedValue> TextOrientationNames();
// Bits of a text run's decoration, each written by its name.
std::span<const NamedValue> TextDecorationNames();

// Empty when the table has no name for the value.
std::string_view NameOf(std::span<const NamedValue> table, int32_t value);
std::optional<int32_t> ValueOf(std::span<const NamedValue> table, std::string_view name);

}  // namespace orbalis::host::json_format
