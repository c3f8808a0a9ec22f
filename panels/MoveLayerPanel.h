// The move-between-layers panel: the document's layer tree; a click on a
// layer's name moves the selected art to that layer.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "panels/NdPanel.h"
#include "sdk/win32/CommCtrl.h"

namespace orbalis {

class CMoveLayerPanel;

struct LayerNode {
    HostLayer layer = nullptr;
    std::u16string title;
    std::vector<LayerNode> children;
};

// The panel's child windows, its font and the map from tree items to layers.
class MoveLayerControls {
public:
    explicit MoveLayerControls(CMoveLayerPanel* owner) : owner(owner) {}
    ~MoveLayerControls();
    MoveLayerControls(const MoveLayerControls&) = delete;
    MoveLayerControls& operator=(const MoveLayerControls&) = delete;

    void Create(HWND parent, HINSTANCE instance);
    void Layout(int width, int height);
    bool HandleMessage(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);

    CMoveLayerPanel* owner;
    HWND window = nullptr;
    HINSTANCE instance = nullptr;
    HFONT font = nullptr;
    std::map<HTREEITEM, HostLayer> itemLayers;
    HWND tree = nullptr;
    HWND checkBox = nullptr;
    HWND checkLabel = nullptr;
    HWND refreshButton = nullptr;
    HIMAGELIST images = nullptr;

private:
    void OnTreeClick();
};

class CMoveLayerPanel : public CNdPanel {
public:
    explicit CMoveLayerPanel(HostPluginRef pluginRef);
    ~CMoveLayerPanel() override;

    void OnThemeChanged() override;
    HostErr InitParameters() override;
    HostErr OnWindowCreated() override;
    void OnSizeChanged() override;
    bool HandleMessage(LRESULT* result, HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDocumentChanged() override;

    // Rebuilds the layer list and the tree.
    void Refresh();
    // Moves the selected art to `target`; shows its own messages.
    HostErr MoveToLayer(HostLayer target);

    bool groupOption = false;
    std::vector<LayerNode> layerList;
    HostDocument listedDocument = nullptr;
    std::map<HostLayer, std::u16string> layerTitles;
    std::unique_ptr<MoveLayerControls> controls;

private:
    HostErr RebuildLayerList();
    HostErr AddSublayers(LayerNode& node);
    void InsertItems(HTREEITEM parent, const std::vector<LayerNode>& nodes);
    HostErr MoveSelection(HostLayer target);
};

}  // namespace orbalis
