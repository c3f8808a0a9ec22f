#include "mapgeom/ScaleBar.h"

#include <cmath>

#include "frame/DialogRunner.h"
#include "frame/HostError.h"
#include "frame/HostSuites.h"
#include "frame/Settings.h"
#include "frame/TextEngine.h"
#include "frame/UnicodeString.h"
#include "resources/ResourceIds.h"
#include "support/NumberFormat.h"

namespace orbalis {
namespace {

enum : int {
    kScaleField = IDC_SB_SCALE,
    kDistanceField = IDC_SB_DISTANCE,
    kKilometresRadio = IDC_SB_KILOMETRES,
    kMetresRadio = IDC_SB_METRES,
    kShowLengthButton = IDC_SB_SHOW_LENGTH,
    kLengthDisplay = IDC_SB_LENGTH,
    kNewLayerBox = IDC_SB_NEW_LAYER,
};

constexpr const char* kNewLayerTitle = "スケールバー";

// Offsets from the bar line, in points.
constexpr double kEndTickHalf = 2.5;
constexpr double kEndTickHeight = 5;
constexpr double kCentreTickHeight = 2.5;
constexpr double kEndLabelRise = 5;
constexpr double kScaleLabelDrop = 5;
constexpr double kLabelSize = 9;
constexpr double kLineWidth = 0.25;

constexpr HostFourColor kBlack{0, 0, 0, 1.0};

// ---------------------------------------------------------------- the dialog

// The record the open dialog edits; one dialog is open at a time. The record
// keeps the values the dialog opened with until it is confirmed.
ScaleBarSettings* gEditing = nullptr;

std::string FieldText(HWND dialog, int id) {
    char buffer[kScaleBarFieldCapacity] = {};
    GetDlgItemTextA(dialog, id, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

void SetField(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The scale as typed; a zero, which would give an endless bar, stands for
// the value the dialog opened with.
int32_t ReadScale(HWND dialog, int32_t opened) {
    const int32_t scale = parseInteger(FieldText(dialog, kScaleField), kScaleBarFieldCapacity);
    return scale == 0 ? opened : scale;
}

// The distance as typed; a zero (an empty bar) or a value too large for a
// number (an endless one) stands for the value the dialog opened with.
double ReadDistance(HWND dialog, double opened) {
    const double distance = parseReal(FieldText(dialog, kDistanceField), kScaleBarFieldCapacity);
    return distance == 0 || !std::isfinite(distance) ? opened : distance;
}

void WriteScale(HWND dialog, int32_t scale) {
    char text[kScaleBarFieldCapacity];
    formatInteger(scale, text);
    SetField(dialog, kScaleField, text);
}

void WriteDistance(HWND dialog, double distance) {
    char text[kScaleBarFieldCapacity];
    formatReal(distance, text);
    SetField(dialog, kDistanceField, text);
}

void FillDialog(HWND dialog, const ScaleBarSettings& s) {
    WriteScale(dialog, s.scale);
    SetFocus(GetDlgItem(dialog, kScaleField));
    SendDlgItemMessageW(dialog, kScaleField, EM_SETSEL, 0, -1);
    WriteDistance(dialog, s.distance);
    // A stored unit other than 0 or 1 checks neither button.
    CheckDlgButton(dialog, kKilometresRadio, s.unit == kKilometres ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kMetresRadio, s.unit == kMetres ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kNewLayerBox, s.newLayer ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, kNewLayerBox), s.newLayerLock == 0 ? TRUE : FALSE);
}

// The length on paper in centimetres, from the fields as they stand.
void ShowPaperLength(HWND dialog) {
    const double scale = parseReal(FieldText(dialog, kScaleField), kScaleBarFieldCapacity);
    const double distance = parseReal(FieldText(dialog, kDistanceField), kScaleBarFieldCapacity);
    const double centimetres = Checked(dialog, kKilometresRadio) ? kilometresToCentimetres(distance) / scale
                                                                 : metresToCentimetres(distance) / scale;
    char text[kScaleBarFieldCapacity];
    formatReal(" %.7g cm", centimetres, text);
    SetField(dialog, kLengthDisplay, text);
}

void Confirm(HWND dialog, ScaleBarSettings& s) {
    // Confirmed with the focus still in a field, its text has not been
    // checked by the focus rule yet: check it the same way.
    s.scale = ReadScale(dialog, s.scale);
    s.distance = ReadDistance(dialog, s.distance);
    s.unit = Checked(dialog, kKilometresRadio) ? kKilometres : kMetres;
    s.newLayer = Checked(dialog, kNewLayerBox) ? 1 : 0;
    EndDialog(dialog, 0);
}

// ---------------------------------------------------------------- the pieces

HostErr SelectPiece(HostArt art) { return sArt->SetArtUserAttr(art, kHostArtSelected, kHostArtSelected); }

HostErr NewLine(HostArt layerGroup, HostPoint from, HostPoint to, HostArt* line) {
    if (HostErr err = sArt->NewArt(kHostPathArt, kHostPlaceInsideOnTop, layerGroup, line)) return err;
    const HostPathSegment segments[2] = {{from, from, from, 1}, {to, to, to, 1}};
    if (HostErr err = sPath->SetPathSegmentCount(*line, 2)) return err;
    if (HostErr err = sPath->SetPathSegments(*line, 0, 2, segments)) return err;
    // The host's style for a new path, with a thin black stroke and no fill.
    HostPathStyle style{};
    HostBool advanced = 0;
    if (HostErr err = sPathStyle->GetPathStyle(*line, &style, &advanced)) return err;
    style.fillPaint = 0;
    style.strokePaint = 1;
    style.stroke.color.kind = kHostFourColor;
    style.stroke.color.c.four = kBlack;
    style.stroke.width = kLineWidth;
    if (HostErr err = sPathStyle->SetPathStyle(*line, &style)) return err;
    return SelectPiece(*line);
}

void StyleLabel(ATE::ITextRange& range) {
    ATE::IParaFeatures paragraph = ATE::IParaFeatures::New();
    paragraph.SetJustification(kHostJustifyCenter);
    range.SetLocalParaFeatures(paragraph);

    ATE::ICharFeatures features = range.GetUniqueCharFeatures();
    HostPathStyle paint = features.GetPathStyle(HostPathStyle{});
    paint.fillPaint = 1;
    paint.fill.color.kind = kHostFourColor;
    paint.fill.color.c.four = kBlack;
    paint.strokePaint = 0;
    features.SetPathStyle(paint);
    features.SetFontSize(kLabelSize);
    range.SetLocalCharFeatures(features);
}

HostErr NewLabel(HostArt layerGroup, HostPoint anchor, const std::string& text, HostArt* label) {
    if (HostErr err = sTextFrame->NewPointText(kHostPlaceInsideOnTop, layerGroup, kHostHorizontalText, anchor, label))
        return err;
    try {
        HostTextRef ref = nullptr;
        if (HostErr err = sTextFrame->GetTextRange(*label, &ref)) return err;
        ATE::ITextRange range(ref);
        range.InsertAfter(text);
        StyleLabel(range);
    } catch (const ATE::Exception& e) {
        return e.code;
    }
    if (HostErr err = sDocument->RedrawDocument()) return err;
    return SelectPiece(*label);
}

}  // namespace

// ---------------------------------------------------------------- labels and length

std::string ScaleLabel(int32_t scale) {
    const std::string digits = formatInteger(scale);
    const size_t n = digits.size();
    const size_t c = n % 3;
    std::string label = "1 : ";
    if (c != 0) {
        label.append(digits, 0, c);
        if (n >= 3) label += ',';
    }
    for (size_t i = c; i < n; i += 3) {
        if (i != c) label += ',';
        label.append(digits, i, 3);
    }
    return label;
}

std::string DistanceLabel(double distance, int32_t unit) {
    return unit == kKilometres ? formatReal("%.7gkm", distance) : formatReal("%.7gm", distance);
}

double BarLength(const ScaleBarSettings& s) {
    const double millimetres =
        s.unit == kKilometres ? kilometresToMillimetres(s.distance) : metresToMillimetres(s.distance);
    return paperPoints(millimetres, static_cast<double>(static_cast<uint32_t>(s.scale)));
}

// ---------------------------------------------------------------- the dialog procedure

INT_PTR CALLBACK ScaleBarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        gEditing = reinterpret_cast<ScaleBarSettings*>(lParam);
        FillDialog(dialog, *gEditing);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        if (!gEditing) return FALSE;
        switch (LOWORD(wParam)) {
        case kKilometresRadio:
        case kMetresRadio:
            if (HIWORD(wParam) == BN_CLICKED) SetField(dialog, kLengthDisplay, "");
            return TRUE;
        case kShowLengthButton:
            if (HIWORD(wParam) == BN_CLICKED) ShowPaperLength(dialog);
            return TRUE;
        case kScaleField:
            if (HIWORD(wParam) != EN_KILLFOCUS) return FALSE;
            WriteScale(dialog, ReadScale(dialog, gEditing->scale));
            SetField(dialog, kLengthDisplay, "");
            return TRUE;
        case kDistanceField:
            if (HIWORD(wParam) != EN_KILLFOCUS) return FALSE;
            WriteDistance(dialog, ReadDistance(dialog, gEditing->distance));
            SetField(dialog, kLengthDisplay, "");
            return TRUE;
        case IDOK: Confirm(dialog, *gEditing); return TRUE;
        case IDCANCEL: EndDialog(dialog, kCanceled); return TRUE;
        }
        return FALSE;
    case WM_DESTROY: gEditing = nullptr; return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- the command

void CScaleBar::TestCurrentLayer() {
    HostLayer current = nullptr;
    HostBool visible = 0;
    HostBool editable = 0;
    if (sLayer->GetCurrentLayer(&current) || !current) return;
    if (sLayer->GetLayerVisible(current, &visible) || !visible) return;
    if (sLayer->GetLayerEditable(current, &editable) || !editable) return;
    settings_.newLayerLock = 0;
}

void CScaleBar::ReadSettings() {
    GetIntegerSetting("SB_Scale", settings_.scale);
    GetRealSetting("SB_Distance", settings_.distance);
    GetIntegerSetting("SB_Unit", settings_.unit);
    GetBooleanSetting("SB_NewLayer", settings_.newLayer);
    // The fields take only digits and checked numbers, so only a damaged
    // store holds these; they would make "1 : -,100" or an endless bar.
    const ScaleBarSettings defaults;
    if (settings_.scale <= 0) settings_.scale = defaults.scale;
    if (settings_.distance == 0 || !std::isfinite(settings_.distance)) settings_.distance = defaults.distance;
}

void CScaleBar::WriteSettings() const {
    PutIntegerSetting("SB_Scale", settings_.scale);
    PutRealSetting("SB_Distance", settings_.distance);
    PutIntegerSetting("SB_Unit", settings_.unit);
    PutBooleanSetting("SB_NewLayer", settings_.newLayer);
}

// Ends text editing and deselects everything; a host error only stops the
// clearing.
void CScaleBar::ClearSelection() const {
    HostBool focus = 0;
    if (sDocument->HasTextFocus(&focus)) return;
    if (focus && sDocument->EndTextFocus()) return;
    int32_t count = 0;
    if (sLayer->CountLayers(&count)) return;
    for (int32_t i = 0; i < count; ++i) {
        HostLayer layer = nullptr;
        HostBool selected = 0;
        if (sLayer->GetNthLayer(i, &layer)) return;
        if (sLayer->LayerHasSelectedArt(layer, &selected)) return;
        if (selected && sLayer->DeselectArtOnLayer(layer)) return;
    }
}

// A new top layer when asked for, and also when the current layer cannot
// take the bar: the disabled box may hold an unchecked state from an
// earlier run, and building on a hidden or locked layer would only fail.
HostErr CScaleBar::TargetLayer(HostLayer* layer) const {
    *layer = nullptr;
    if (settings_.newLayer || settings_.newLayerLock) {
        if (HostErr err = sLayer->InsertLayer(nullptr, kHostPlaceAboveAll, layer)) return err;
        try {
            const ai::UnicodeString title(kNewLayerTitle);
            return sLayer->SetLayerTitle(*layer, title.handle());
        } catch (const ai::Error& e) {
            return e.code;
        }
    }
    return sLayer->GetCurrentLayer(layer);
}

HostErr CScaleBar::Build(HostLayer layer) const {
    const double length = BarLength(settings_);
    const double h = length * 0.5;
    HostPoint c{};
    if (HostErr err = sDocumentView->GetDocumentViewCenter(nullptr, &c)) return err;
    HostArt layerGroup = nullptr;
    if (HostErr err = sArt->GetFirstArtOfLayer(layer, &layerGroup)) return err;

    HostArt pieces[7] = {};
    const double left = c.x - h;
    const double right = c.x + h;
    if (HostErr err = NewLine(layerGroup, {left, c.y}, {left + length, c.y}, &pieces[0])) return err;
    const double tickBottom = c.y - kEndTickHalf;
    if (HostErr err = NewLine(layerGroup, {left, tickBottom}, {left, tickBottom + kEndTickHeight}, &pieces[1]))
        return err;
    if (HostErr err = NewLine(layerGroup, {right, tickBottom}, {right, tickBottom + kEndTickHeight}, &pieces[2]))
        return err;
    if (HostErr err = NewLine(layerGroup, c, {c.x, c.y + kCentreTickHeight}, &pieces[3])) return err;
    if (HostErr err = NewLabel(layerGroup, {left, c.y + kEndLabelRise}, "0", &pieces[4])) return err;
    if (HostErr err = NewLabel(layerGroup, {right, c.y + kEndLabelRise},
                               DistanceLabel(settings_.distance, settings_.unit), &pieces[5]))
        return err;
    if (HostErr err =
            NewLabel(layerGroup, {c.x, (c.y - kScaleLabelDrop) - kLabelSize}, ScaleLabel(settings_.scale), &pieces[6]))
        return err;

    HostArt group = nullptr;
    if (HostErr err = sArt->NewArt(kHostGroupArt, kHostPlaceInsideOnTop, layerGroup, &group)) return err;
    for (HostArt piece : pieces)
        if (HostErr err = sArt->ReorderArt(piece, kHostPlaceInsideOnTop, group)) return err;
    return 0;
}

HostErr CScaleBar::Run() {
    settings_ = ScaleBarSettings{};
    TestCurrentLayer();
    ReadSettings();
    if (HostErr err = RunDialog(pluginRef_, kScaleBarDialogId, ScaleBarDialogProc, &settings_)) return err;
    WriteSettings();
    ClearSelection();
    HostLayer layer = nullptr;
    if (HostErr err = TargetLayer(&layer)) return err;
    if (!layer) return 0;
    return Build(layer);
}

}  // namespace orbalis
