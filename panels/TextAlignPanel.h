// The text origin panel: six buttons that give the selected text an
// orientation and a paragraph justification, keeping the text where it is on
// the page when only the justification changes.
#pragma once

#include <array>
#include <memory>

#include "panels/NdPanel.h"

namespace orbalis {

class CTextAlignPanel;

// The panel's six icon buttons, left to right: horizontal left, centre and
// right, then vertical top, middle and bottom.
class TextOriginButtons {
public:
    static constexpr int kCount = 6;
    static constexpr int kSize = 24;

    explicit TextOriginButtons(CTextAlignPanel* owner) : owner(owner) {}
    TextOriginButtons(const TextOriginButtons&) = delete;
    TextOriginButtons& operator=(const TextOriginButtons&) = delete;

    // Creates the buttons in `parent`, disabled.
    void Create(HWND parent, HMODULE module);
    void Enable(bool enabled);
    // A press of one of the buttons: applies its origin to the selection.
    bool HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);

    CTextAlignPanel* owner;
    HWND window = nullptr;
    HMODULE module = nullptr;
    std::array<HWND, kCount> buttons{};
};

class CTextAlignPanel : public CNdPanel {
public:
    explicit CTextAlignPanel(HostPluginRef pluginRef);
    ~CTextAlignPanel() override;

    void OnThemeChanged() override;
    HostErr InitParameters() override;
    HostErr OnWindowCreated() override;
    bool HandleMessage(LRESULT* result, HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enables the buttons exactly while a document with layers is open.
    void OnDocumentChanged() override;

    // Gives every selected text object the orientation (0 horizontal, 1
    // vertical) and paragraph justification (0 left, 1 right, 2 centre).
    // Objects whose text cannot be read or changed are skipped; only a
    // failure to read an object's type ends the walk, with its code.
    HostErr ApplyTextOrigin(int32_t orientation, int32_t justification);

    // Pushes the plug-in's application context, applies the origin and pops
    // the context; the code is not reported.
    void PressOrigin(int32_t orientation, int32_t justification);

    std::unique_ptr<TextOriginButtons> buttonBar;

private:
    HostErr ApplyToText(HostArt art, int32_t orientation, int32_t justification);
};

}  // namespace orbalis
