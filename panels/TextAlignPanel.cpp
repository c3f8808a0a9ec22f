#include "panels/TextAlignPanel.h"

#include "frame/AppContextScope.h"
#include "frame/TextEngine.h"
#include "frame/ArtSet.h"
#include "resources/ResourceIds.h"

namespace orbalis {
namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_ICON;

struct Origin {
    int iconId;
    int32_t orientation;
    int32_t justification;
};

// Left to right; justifications are the text engine's (0 left, 1 right,
// 2 centre), for vertical text the top and bottom of the column.
constexpr Origin kOrigins[TextOriginButtons::kCount] = {
    {IDI_HORIZONTAL_LEFT, kHostHorizontalText, 0},  {IDI_HORIZONTAL_CENTRE, kHostHorizontalText, 2},
    {IDI_HORIZONTAL_RIGHT, kHostHorizontalText, 1}, {IDI_VERTICAL_LEFT, kHostVerticalText, 0},
    {IDI_VERTICAL_CENTRE, kHostVerticalText, 2},    {IDI_VERTICAL_RIGHT, kHostVerticalText, 1},
};

constexpr int32_t kLightPanelIcon = IDR_TEXT_ORIGIN_DARK;  // dark grey, for light panels
constexpr int32_t kDarkPanelIcon = IDR_TEXT_ORIGIN_LIGHT;  // light grey, for dark panels

}  // namespace

// ---- Buttons.

void TextOriginButtons::Create(HWND parent, HMODULE library) {
    window = parent;
    module = library;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    for (int i = 0; i < kCount; ++i) {
        HWND button = CreateWindowExW(0, u"BUTTON", u"", kButtonStyle, kSize * i, 0, kSize, kSize, parent, nullptr,
                                      instance, nullptr);
        buttons[static_cast<size_t>(i)] = button;
        if (!button) continue;
        // At the button's own size; a shared icon stays with the module and
        // is never destroyed by the panel.
        HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(kOrigins[i].iconId), IMAGE_ICON, kSize, kSize, LR_SHARED);
        SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    Enable(false);
}

void TextOriginButtons::Enable(bool enabled) {
    for (HWND button : buttons)
        if (button) EnableWindow(button, enabled ? TRUE : FALSE);
}

bool TextOriginButtons::HandleMessage(LRESULT* result, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_COMMAND || !lParam) return false;
    const auto from = reinterpret_cast<HWND>(lParam);
    for (int i = 0; i < kCount; ++i) {
        if (from != buttons[static_cast<size_t>(i)]) continue;
        owner->PressOrigin(kOrigins[i].orientation, kOrigins[i].justification);
        CNdPanel::FocusHostWindow();
        *result = 0;
        return true;
    }
    return false;
}

// ---- Panel.

CTextAlignPanel::CTextAlignPanel(HostPluginRef ref)
    : CNdPanel(ref), buttonBar(std::make_unique<TextOriginButtons>(this)) {}

// The buttons' windows go with the panel's window in the base's tear-down.
CTextAlignPanel::~CTextAlignPanel() = default;

HostErr CTextAlignPanel::InitParameters() {
    resizable = 0;
    minSize = HostPanelSize{144, 24};
    panelId.emplace("NdOrbalis1.5TextAlignPanelID");
    panelTitle.emplace("テキスト原点");
    stateCount = 1;
    return 0;
}

HostErr CTextAlignPanel::OnWindowCreated() {
    buttonBar->Create(window, moduleHandle);
    return 0;
}

bool CTextAlignPanel::HandleMessage(LRESULT* result, HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    // Between an unload and a reload the host's suites are not held: the
    // buttons stay on screen but do nothing.
    if (!sPanel) return false;
    if (buttonBar->HandleMessage(result, message, wParam, lParam)) return true;
    return CNdPanel::HandleMessage(result, w, message, wParam, lParam);
}

void CTextAlignPanel::OnThemeChanged() {
    CNdPanel::OnThemeChanged();
    if (!sUserInterfaceTheme) return;
    SetPanelIcon(sUserInterfaceTheme->IsDarkTheme() ? kDarkPanelIcon : kLightPanelIcon);
}

void CTextAlignPanel::OnDocumentChanged() {
    int32_t layers = 0;
    const bool open = sLayer && sLayer->CountLayers(&layers) == 0 && layers > 0;
    buttonBar->Enable(open);
}

void CTextAlignPanel::PressOrigin(int32_t orientation, int32_t justification) {
    AppContextScope context(pluginRef);
    try {
        ApplyTextOrigin(orientation, justification);
    } catch (...) {
        // Nothing leaves the window's message handling; the code is dropped
        // as any other code of a press would be.
    }
}

HostErr CTextAlignPanel::ApplyTextOrigin(int32_t orientation, int32_t justification) {
    CArtSet selection;
    // No selection (or none that can be read) leaves nothing to change.
    if (selection.FillFromSelection()) return 0;
    for (uint64_t i = 0; i < selection.Count(); ++i) {
        HostArt art = selection.At(static_cast<int32_t>(i));
        int32_t type = 0;
        if (HostErr err = sArt->GetArtType(art, &type)) return err;
        if (type != kHostTextFrameArt) continue;
        try {
            ApplyToText(art, orientation, justification);
        } catch (const ATE::Exception&) {
            // Text whose details cannot be read or changed is left as it is.
        } catch (const ai::Error&) {}
    }
    return 0;
}

HostErr CTextAlignPanel::ApplyToText(HostArt art, int32_t orientation, int32_t justification) {
    HostTextRef rangeRef = nullptr;
    if (HostErr err = sTextFrame->GetTextRange(art, &rangeRef)) return err;
    ATE::ITextRange range(rangeRef);

    int32_t current = 0;
    if (HostErr err = sTextFrame->GetTextOrientation(art, &current)) return err;
    const bool turned = current != orientation;
    if (turned) {
        if (HostErr err = sTextFrame->SetTextOrientation(art, orientation)) return err;
    }

    // The frame must answer for its kind, its matrix and its text-engine
    // frame before its paragraphs are touched.
    int32_t kind = 0;
    HostMatrix frameMatrix{};
    HostTextRef frameRef = nullptr;
    if (HostErr err = sTextFrame->GetTextKind(art, &kind)) return err;
    if (HostErr err = sTextFrame->GetTextMatrix(art, &frameMatrix)) return err;
    if (HostErr err = sTextFrame->GetTextFrame(art, &frameRef)) return err;
    const ATE::ITextFrame frame(frameRef);

    ATE::IParaFeatures features = range.GetUniqueParaFeatures();
    bool assigned = false;
    const int32_t had = features.GetJustification(&assigned);
    // Paragraphs of mixed justification have none in common: any button
    // sets them all.
    if (assigned && had == justification) return 0;

    HostRect before{};
    if (HostErr err = sDocument->SyncDocument()) return err;
    if (HostErr err = sArt->GetArtBounds(art, &before)) return err;
    if (justification >= 0 && justification <= 2) features.SetJustification(justification);
    range.SetLocalParaFeatures(features);
    // A turned text has a new shape; only a text whose justification alone
    // changed is moved back to where its glyphs were.
    if (turned) return 0;

    HostRect after{};
    if (HostErr err = sDocument->SyncDocument()) return err;
    if (HostErr err = sArt->GetArtBounds(art, &after)) return err;
    HostMatrix shift{};
    if (HostErr err = sRealMath->SetMatrixTranslate(&shift, before.left - after.left, before.top - after.top))
        return err;
    return sTransformArt->TransformArt(art, &shift, 1.0, kHostTransformObjects);
}

}  // namespace orbalis
