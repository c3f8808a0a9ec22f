// "レイヤー名置換...": replaces, inserts or deletes text in the titles of the
// target layers.
#pragma once

#include <array>
#include <cstdint>

#include "frame/UnicodeString.h"
#include "frame/SettingKeys.h"
#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

inline constexpr int kReplaceLayerTitleDialogId = IDD_REPLACE_LAYER_TITLE;

enum ReplaceType : int32_t {
    ReplaceOccurrences = 0,
    InsertText = 1,
    DeleteLeadingNumber = 2,
    DeleteUpToString = 3,
};

// The command's remembered settings, also the data its dialog edits.
struct ReplaceLayerTitleSettings {
    int32_t destLayerKind = 0;  // LayerTargetKind: TopLevel
    int32_t visibleLayersOnly = 0;
    int32_t replaceType = ReplaceOccurrences;
    ai::UnicodeString searchString;
    ai::UnicodeString replaceString;
    ai::UnicodeString insertString;
    int32_t insertPos = 0;  // 0: at the head; else at the tail
    ai::UnicodeString delimiter;
    int32_t deleteWithDelimiter = 0;
};

class CReplaceLayerTitle {
public:
    explicit CReplaceLayerTitle(HostPluginRef pluginRef) : pluginRef_(pluginRef) {}
    virtual ~CReplaceLayerTitle() = default;

    // 0 when done, the cancel code when the user cancelled the dialog, else
    // the first failing host call's code.
    HostErr Run();
    HostErr ReplaceTitle(HostLayer layer) const;

private:
    // The settings keys in the order they are read and written.
    std::array<SettingKey, 9> Keys();

    HostPluginRef pluginRef_;
    ReplaceLayerTitleSettings settings_;
};

// The title after the chosen operation; positions count characters.
ai::UnicodeString EditTitle(const ai::UnicodeString& title, const ReplaceLayerTitleSettings& settings);

INT_PTR CALLBACK ReplaceLayerTitleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
