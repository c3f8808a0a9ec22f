// Dialog 115 of "地図拡大縮小...": the three ways of giving the factor, and
// the options.
#include <cmath>

#include "frame/DialogFields.h"
#include "mapgeom/MapScaling.h"
#include "resources/ResourceIds.h"
#include "support/NumberFormat.h"

namespace orbalis {
namespace {

enum : int {
    kScaleRadio = IDC_MS_BY_SCALE,
    kCurrentScaleField = IDC_MS_CURRENT_SCALE,
    kTargetScaleField = IDC_MS_TARGET_SCALE,
    kPercentageLabel = IDC_MS_PERCENTAGE,
    kPercentageRadio = IDC_MS_BY_PERCENTAGE,
    kHorizontalField = IDC_MS_HORIZONTAL,
    kVerticalField = IDC_MS_VERTICAL,
    kKeepProportionBox = IDC_MS_KEEP_PROPORTION,
    kPaperRadio = IDC_MS_BY_PAPER,
    kPaperList = IDC_MS_PAPER_LIST,
    kScaleFontSizeBox = IDC_MS_SCALE_FONT_SIZE,
    kScaleStrokeEffectBox = IDC_MS_SCALE_STROKE_EFFECT,
    kScaleSymbolSizeBox = IDC_MS_SCALE_SYMBOL_SIZE,
    kScalePatternBox = IDC_MS_SCALE_PATTERN,
    kScaleGuideBox = IDC_MS_SCALE_GUIDE,
    kSelectionOnlyBox = IDC_MS_SELECTION_ONLY,
};

// The record the open dialog edits and its values when the dialog opened;
// one dialog is open at a time.
MapScalingSettings* gEditing = nullptr;
MapScalingSettings gOpened;

struct FieldText {
    char text[kMapScalingFieldCapacity] = {};
};

FieldText ReadField(HWND dialog, int id) {
    FieldText field;
    GetDlgItemTextA(dialog, id, field.text, static_cast<int>(kMapScalingFieldCapacity));
    return field;
}

int32_t ReadScaleField(HWND dialog, int id) {
    return parseInteger(ReadField(dialog, id).text, kMapScalingFieldCapacity);
}

double ReadRatioField(HWND dialog, int id) { return parseReal(ReadField(dialog, id).text, kMapScalingFieldCapacity); }

void FillScaleField(HWND dialog, int id, int32_t value) {
    char text[kMapScalingFieldCapacity];
    formatInteger(value, text);
    SetDlgItemTextA(dialog, id, text);
}

void FillRatioField(HWND dialog, int id, double value) {
    char text[kMapScalingFieldCapacity];
    formatReal(value, text);
    SetDlgItemTextA(dialog, id, text);
}

void ShowPercentage(HWND dialog) {
    const double current = ReadScaleField(dialog, kCurrentScaleField);
    const double target = ReadScaleField(dialog, kTargetScaleField);
    char text[kMapScalingFieldCapacity];
    formatReal("(%.7g%%)", current / target * 100.0, text);
    SetDlgItemTextA(dialog, kPercentageLabel, text);
}

void ApplyMode(HWND dialog, int32_t mode) {
    SetChecked(dialog, kScaleRadio, mode == kByMapScale);
    SetChecked(dialog, kPercentageRadio, mode == kByPercentage);
    SetChecked(dialog, kPaperRadio, mode == kByPaperRatio);
    EnableField(dialog, kCurrentScaleField, mode == kByMapScale);
    EnableField(dialog, kTargetScaleField, mode == kByMapScale);
    EnableField(dialog, kKeepProportionBox, mode == kByPercentage);
    EnableField(dialog, kHorizontalField, mode == kByPercentage);
    EnableField(dialog, kVerticalField, mode == kByPercentage && !IsChecked(dialog, kKeepProportionBox));
    EnableField(dialog, kPaperList, mode == kByPaperRatio);
}

void CopyHorizontalToVertical(HWND dialog) {
    SetDlgItemTextA(dialog, kVerticalField, ReadField(dialog, kHorizontalField).text);
}

// A map scale of 1 or less puts back the value shown at opening.
void CheckScaleField(HWND dialog, int id) {
    if (ReadScaleField(dialog, id) <= 1)
        FillScaleField(dialog, id, id == kCurrentScaleField ? gOpened.currentScale : gOpened.targetScale);
}

// A percentage of 0 or less, or one too large to be a number, puts back the
// value shown at opening.
void CheckRatioField(HWND dialog, int id) {
    const double value = ReadRatioField(dialog, id);
    if (!(value > 0.0) || !std::isfinite(value))
        FillRatioField(dialog, id, id == kHorizontalField ? gOpened.horizontalRatio : gOpened.verticalRatio);
}

void LeaveScaleField(HWND dialog, int id) {
    CheckScaleField(dialog, id);
    ShowPercentage(dialog);
}

void LeaveRatioField(HWND dialog, int id) {
    CheckRatioField(dialog, id);
    if (IsChecked(dialog, kKeepProportionBox)) CopyHorizontalToVertical(dialog);
}

void FillDialog(HWND dialog, const MapScalingSettings& s) {
    for (const char16_t* text : kPaperRatioTexts)
        SendDlgItemMessageW(dialog, kPaperList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(dialog, kPaperList, CB_SETCURSEL, 0, 0);
    FillScaleField(dialog, kCurrentScaleField, s.currentScale);
    FillScaleField(dialog, kTargetScaleField, s.targetScale);
    ShowPercentage(dialog);
    FillRatioField(dialog, kHorizontalField, s.horizontalRatio);
    FillRatioField(dialog, kVerticalField, s.verticalRatio);
    SetChecked(dialog, kKeepProportionBox, s.keepProportion != 0);
    SetChecked(dialog, kScaleFontSizeBox, s.scaleFontSize != 0);
    SetChecked(dialog, kScaleStrokeEffectBox, s.scaleStrokeEffect != 0);
    SetChecked(dialog, kScaleSymbolSizeBox, s.scaleSymbolSize != 0);
    SetChecked(dialog, kScalePatternBox, s.scalePattern != 0);
    SetChecked(dialog, kScaleGuideBox, s.scaleGuide != 0);
    SetChecked(dialog, kSelectionOnlyBox, s.selectionOnly != 0);
    SendDlgItemMessageW(dialog, kPaperList, CB_SETCURSEL, static_cast<WPARAM>(s.paperScaling), 0);
    ApplyMode(dialog, s.mode);
}

void ReadDialog(HWND dialog, MapScalingSettings& s) {
    // Confirming with Enter leaves no field, so the rules for leaving a
    // field are applied here too: no unusable number reaches the run.
    CheckScaleField(dialog, kCurrentScaleField);
    CheckScaleField(dialog, kTargetScaleField);
    CheckRatioField(dialog, kHorizontalField);
    CheckRatioField(dialog, kVerticalField);
    if (IsChecked(dialog, kKeepProportionBox)) CopyHorizontalToVertical(dialog);

    s.currentScale = ReadScaleField(dialog, kCurrentScaleField);
    s.targetScale = ReadScaleField(dialog, kTargetScaleField);
    s.horizontalRatio = ReadRatioField(dialog, kHorizontalField);
    s.verticalRatio = ReadRatioField(dialog, kVerticalField);
    const LRESULT row = SendDlgItemMessageW(dialog, kPaperList, CB_GETCURSEL, 0, 0);
    if (row >= 0 && row < kPaperRatioCount) s.paperScaling = static_cast<int32_t>(row);
    s.keepProportion = IsChecked(dialog, kKeepProportionBox) ? 1 : 0;
    s.scaleFontSize = IsChecked(dialog, kScaleFontSizeBox) ? 1 : 0;
    s.scaleStrokeEffect = IsChecked(dialog, kScaleStrokeEffectBox) ? 1 : 0;
    s.scaleSymbolSize = IsChecked(dialog, kScaleSymbolSizeBox) ? 1 : 0;
    s.scalePattern = IsChecked(dialog, kScalePatternBox) ? 1 : 0;
    s.scaleGuide = IsChecked(dialog, kScaleGuideBox) ? 1 : 0;
    s.selectionOnly = IsChecked(dialog, kSelectionOnlyBox) ? 1 : 0;
    s.mode = IsChecked(dialog, kScaleRadio)        ? kByMapScale
             : IsChecked(dialog, kPercentageRadio) ? kByPercentage
                                                   : kByPaperRatio;
}

INT_PTR OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case kScaleRadio:
    case kPercentageRadio:
    case kPaperRadio:
        if (code == BN_CLICKED)
            ApplyMode(dialog, id == kScaleRadio ? kByMapScale : id == kPercentageRadio ? kByPercentage : kByPaperRatio);
        return TRUE;
    case kKeepProportionBox:
        if (code == BN_CLICKED) {
            if (IsChecked(dialog, kKeepProportionBox)) CopyHorizontalToVertical(dialog);
            ApplyMode(dialog, kByPercentage);
        }
        return TRUE;
    case kCurrentScaleField:
    case kTargetScaleField:
        if (code == EN_KILLFOCUS) LeaveScaleField(dialog, id);
        return TRUE;
    case kHorizontalField:
    case kVerticalField:
        if (code == EN_KILLFOCUS) LeaveRatioField(dialog, id);
        return TRUE;
    case IDOK:
        ReadDialog(dialog, *gEditing);
        EndDialog(dialog, 0);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, kCanceled); return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MapScalingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleDialogMessage(dialog, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            gEditing = reinterpret_cast<MapScalingSettings*>(lParam);
            gOpened = *gEditing;
            FillDialog(dialog, *gEditing);
            return TRUE;
        case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_DESTROY: gEditing = nullptr; return FALSE;
        }
        return FALSE;
    });
}

}  // namespace orbalis
