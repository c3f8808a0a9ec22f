// "レイヤー通し番号作成...": gives the target layers consecutive numbers,
// as their whole titles or attached in front of or behind them.
#pragma once

#include <array>
#include <cstdint>

#include "frame/UnicodeString.h"
#include "frame/SettingKeys.h"
#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

inline constexpr int kNumberLayersDialogId = IDD_NUMBER_LAYERS;

// The command's remembered settings, also the data its dialog edits.
struct NumberLayersSettings {
    int32_t kind = 2;  // LayerTargetKind: AllLayers
    int32_t initialNumber = 1;
    int32_t step = 1;
    int32_t visibleLayersOnly = 1;
    int32_t addStringBeforeNumber = 0;
    ai::UnicodeString beforeString;
    int32_t addStringAfterNumber = 1;
    ai::UnicodeString afterString{": "};
    int32_t addToCurrentTitle = 1;
    int32_t addNumberPos = 0;  // 0: in front of the existing title; else behind it
};

class CNumberLayers {
public:
    explicit CNumberLayers(HostPluginRef pluginRef) : pluginRef_(pluginRef) {}
    virtual ~CNumberLayers() = default;

    // 0 when done, the cancel code when the user cancelled the dialog, else
    // the first failing host call's code.
    HostErr Run();
    // The number part for `n`: the texts whose boxes are checked around it.
    ai::UnicodeString MakeNumberString(int32_t n) const;
    HostErr NumberLayer(HostLayer layer, int32_t n) const;

private:
    // The settings keys in the order they are read and written.
    std::array<SettingKey, 10> Keys();

    HostPluginRef pluginRef_;
    NumberLayersSettings settings_;
};

INT_PTR CALLBACK NumberLayersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
