// "スケールバー作成...": draws a scale bar for a map of scale 1/N at the
// centre of the current view: a bar whose paper length stands for a ground
// distance, end and centre ticks, "0" and the distance above the ends, and
// "1 : N" below the middle, as one selected group.
#pragma once

#include <cstdint>
#include <string>

#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

inline constexpr int kScaleBarDialogId = IDD_SCALE_BAR;

enum ScaleBarUnit : int32_t { kKilometres = 0, kMetres = 1 };

// The remembered settings and the data the dialog edits.
struct ScaleBarSettings {
    int32_t scale = 25000;  // N of the map scale 1/N
    double distance = 1.0;  // ground distance the bar stands for
    int32_t unit = kKilometres;
    int32_t newLayer = 1;  // build on a new layer "スケールバー"
    // Not stored: 1 when the current layer cannot take the bar (there is
    // none, or it is hidden or locked), which disables the new-layer box.
    int32_t newLayerLock = 1;
};

// "1 : " and the scale with a comma between groups of three digits.
std::string ScaleLabel(int32_t scale);
// "%.7gkm" or "%.7gm" of the distance.
std::string DistanceLabel(double distance, int32_t unit);
// The bar's length in points: the distance in millimetres / N * 72 / 25.4,
// left to right, N read as an unsigned number.
double BarLength(const ScaleBarSettings& settings);

class CScaleBar {
public:
    explicit CScaleBar(HostPluginRef pluginRef) : pluginRef_(pluginRef) {}
    virtual ~CScaleBar() = default;

    // 0 when built (or when there is no layer to build on), the cancel code
    // when the dialog was cancelled, else the first failing host call's code.
    HostErr Run();

private:
    void ReadSettings();
    void WriteSettings() const;
    void TestCurrentLayer();
    void ClearSelection() const;
    HostErr TargetLayer(HostLayer* layer) const;
    HostErr Build(HostLayer layer) const;

    HostPluginRef pluginRef_;
    ScaleBarSettings settings_;
};

INT_PTR CALLBACK ScaleBarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
