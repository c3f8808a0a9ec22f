// "地図拡大縮小...": enlarges or reduces the map about the centre of its
// bounds, by a change of map scale, by percentages or by a paper-size ratio.
#pragma once

#include <array>
#include <cstdint>

#include "frame/SettingKeys.h"
#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/suites/ArtSuites.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

inline constexpr int kMapScalingDialogId = IDD_MAP_SCALING;

enum MapScalingMode : int32_t { kByMapScale = 0, kByPercentage = 1, kByPaperRatio = 2 };

// The command's remembered settings, also the data its dialog edits.
struct MapScalingSettings {
    int32_t mode = kByMapScale;
    int32_t currentScale = 25000;
    int32_t targetScale = 30000;
    double horizontalRatio = 100.0;
    double verticalRatio = 100.0;
    int32_t paperScaling = 0;
    int32_t keepProportion = 1;
    int32_t scaleFontSize = 0;
    int32_t scaleSymbolSize = 0;
    int32_t scaleStrokeEffect = 0;
    int32_t scaleGuide = 0;
    int32_t scalePattern = 0;
    int32_t selectionOnly = 0;
};

// The paper ratio list, in its order: the texts the dialog lists and their
// exact factors.
inline constexpr int kPaperRatioCount = 9;
extern const std::array<const char16_t*, kPaperRatioCount> kPaperRatioTexts;
extern const std::array<double, kPaperRatioCount> kPaperRatioFactors;

// Replaces every stored value the dialog could not have produced by its
// default: a mode outside 0-2, a paper row outside 0-8, a map scale of 1 or
// less, a percentage that is not a positive finite number.
void ReplaceUnusableSettings(MapScalingSettings& settings);

struct ScalingFactors {
    double horizontal = 1.0;
    double vertical = 1.0;
    double lineScale = 1.0;
};

// The factors the settings ask for; false when any of them would not be a
// positive finite number (then `factors` is left as it was).
bool ComputeScalingFactors(const MapScalingSettings& settings, ScalingFactors* factors);

// The Transform Art option bits: objects, stroke widths and effects on
// request, fill and stroke patterns on request.
int32_t TransformOptions(const MapScalingSettings& settings);

class CMapScaling {
public:
    explicit CMapScaling(HostPluginRef pluginRef) : pluginRef_(pluginRef) {}

    // 0 when done (also when there is nothing to scale), the cancel code when
    // the user cancelled the dialog, 'PARM' for factors that cannot scale,
    // else the first failing host call's code.
    HostErr Run();

private:
    // The settings keys in the order they are read and written.
    std::array<SettingKey, 13> Keys();
    // The union of the bounds of the objects the run is about; false in
    // `found` when none of them has bounds.
    HostErr ComputeTargetBounds(HostRect* bounds, bool* found);
    HostErr Visit(HostArt art, bool withFollowingSiblings);
    HostErr TransformObject(HostArt art, int32_t type);
    HostErr TransformText(HostArt text);
    HostErr TransformSymbol(HostArt symbol);
    HostErr Translate(HostArt art, double dx, double dy, double lineScale, int32_t options);

    HostPluginRef pluginRef_;
    MapScalingSettings settings_;
    int32_t progressTotal_ = 0;
    int32_t progressCounter_ = 0;
    double centreX_ = 0.0;
    double centreY_ = 0.0;
    HostMatrix matrix_{1, 0, 0, 1, 0, 0};
    double lineScale_ = 1.0;
    int32_t options_ = kHostTransformObjects;
};

INT_PTR CALLBACK MapScalingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
