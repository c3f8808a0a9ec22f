#include "layers/NumberLayers.h"

#include "frame/DialogRunner.h"
#include "frame/HostSuites.h"
#include "frame/DialogFields.h"
#include "layers/LayerTargets.h"
#include "frame/SettingKeys.h"
#include "resources/ResourceIds.h"
#include "support/NumberFormat.h"

namespace orbalis {
namespace {

enum : int {
    kInitialNumberField = IDC_NL_INITIAL_NUMBER,
    kStepField = IDC_NL_STEP,
    kBeforeBox = IDC_NL_BEFORE,
    kBeforeField = IDC_NL_BEFORE_TEXT,
    kAfterBox = IDC_NL_AFTER,
    kAfterField = IDC_NL_AFTER_TEXT,
    kAddToTitleBox = IDC_NL_ADD_TO_TITLE,
    kInFrontRadio = IDC_NL_IN_FRONT,
    kBehindRadio = IDC_NL_BEHIND,
};

// The record the open dialog edits; one dialog is open at a time.
NumberLayersSettings* gEditing = nullptr;

void ApplyEnabling(HWND dialog) {
    EnableField(dialog, kBeforeField, IsChecked(dialog, kBeforeBox));
    EnableField(dialog, kAfterField, IsChecked(dialog, kAfterBox));
    const bool attach = IsChecked(dialog, kAddToTitleBox);
    EnableField(dialog, kInFrontRadio, attach);
    EnableField(dialog, kBehindRadio, attach);
}

void FillDialog(HWND dialog, const NumberLayersSettings& s) {
    FillTargetControls(dialog, s.kind, s.visibleLayersOnly);
    FillNumberField(dialog, kInitialNumberField, s.initialNumber);
    FillNumberField(dialog, kStepField, s.step);
    SetChecked(dialog, kBeforeBox, s.addStringBeforeNumber != 0);
    FillTextFieldInCodePage(dialog, kBeforeField, s.beforeString);
    SetChecked(dialog, kAfterBox, s.addStringAfterNumber != 0);
    FillTextFieldInCodePage(dialog, kAfterField, s.afterString);
    SetChecked(dialog, kAddToTitleBox, s.addToCurrentTitle != 0);
    // A stored position other than 0 or 1 checks neither button.
    SetChecked(dialog, kInFrontRadio, s.addNumberPos == 0);
    SetChecked(dialog, kBehindRadio, s.addNumberPos == 1);
    ApplyEnabling(dialog);
}

void ReadDialog(HWND dialog, NumberLayersSettings& s) {
    ReadTargetControls(dialog, &s.kind, &s.visibleLayersOnly);
    s.initialNumber = ReadNumberField(dialog, kInitialNumberField);
    s.step = ReadNumberField(dialog, kStepField);
    s.addStringBeforeNumber = IsChecked(dialog, kBeforeBox) ? 1 : 0;
    s.beforeString = ReadTextField(dialog, kBeforeField);
    s.addStringAfterNumber = IsChecked(dialog, kAfterBox) ? 1 : 0;
    s.afterString = ReadTextField(dialog, kAfterField);
    s.addToCurrentTitle = IsChecked(dialog, kAddToTitleBox) ? 1 : 0;
    s.addNumberPos = IsChecked(dialog, kInFrontRadio) ? 0 : 1;
}

}  // namespace

INT_PTR CALLBACK NumberLayersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleDialogMessage(dialog, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            gEditing = reinterpret_cast<NumberLayersSettings*>(lParam);
            FillDialog(dialog, *gEditing);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case kBeforeBox:
            case kAfterBox:
            case kAddToTitleBox:
                if (HIWORD(wParam) == BN_CLICKED) ApplyEnabling(dialog);
                return TRUE;
            case IDOK:
                ReadDialog(dialog, *gEditing);
                EndDialog(dialog, 0);
                return TRUE;
            case IDCANCEL: EndDialog(dialog, kCanceled); return TRUE;
            }
            return FALSE;
        case WM_DESTROY: gEditing = nullptr; return FALSE;
        }
        return FALSE;
    });
}

std::array<SettingKey, 10> CNumberLayers::Keys() {
    return {
        IntegerKey("NL_Kind", settings_.kind),
        BooleanKey("NL_VisibleLayersOnly", settings_.visibleLayersOnly),
        IntegerKey("NL_InitialNum", settings_.initialNumber),
        IntegerKey("NL_Step", settings_.step),
        BooleanKey("NL_AddStringBeforeNumber", settings_.addStringBeforeNumber),
        TextKey("NL_BeforeString", settings_.beforeString),
        BooleanKey("NL_AddStringAfterNumber", settings_.addStringAfterNumber),
        TextKey("NL_AfterString", settings_.afterString),
        BooleanKey("NL_AddToCurrentTitle", settings_.addToCurrentTitle),
        IntegerKey("NL_AddNumberPos", settings_.addNumberPos),
    };
}

HostErr CNumberLayers::Run() {
    ReadSettingKeys(Keys());
    if (HostErr err = RunDialog(pluginRef_, kNumberLayersDialogId, NumberLayersDialogProc, &settings_)) return err;
    WriteSettingKeys(Keys());
    int32_t n = settings_.initialNumber;
    return ForEachTargetLayer(settings_.kind, settings_.visibleLayersOnly, [&](HostLayer layer) {
        const HostErr err = NumberLayer(layer, n);
        // Numbers wrap around at the 32-bit limits rather than overflow.
        n = static_cast<int32_t>(static_cast<uint32_t>(n) + static_cast<uint32_t>(settings_.step));
        return err;
    });
}

ai::UnicodeString CNumberLayers::MakeNumberString(int32_t n) const {
    ai::UnicodeString part;
    if (settings_.addStringBeforeNumber) part.append(settings_.beforeString);
    char digits[kMessageCapacity];
    formatInteger(n, digits);
    part.append(ai::UnicodeString(digits));
    if (settings_.addStringAfterNumber) part.append(settings_.afterString);
    return part;
}

HostErr CNumberLayers::NumberLayer(HostLayer layer, int32_t n) const {
    ai::UnicodeString title = MakeNumberString(n);
    if (settings_.addToCurrentTitle) {
        ai::UnicodeString current;
        if (HostErr err = sLayer->GetLayerTitle(layer, current.handle())) return err;
        if (settings_.addNumberPos == 0)
            title.append(current);
        else
            title = std::move(current.append(title));
    }
    return sLayer->SetLayerTitle(layer, title.handle());
}

}  // namespace orbalis
