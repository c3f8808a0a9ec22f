#include "mapgeom/PolygonColoring.h"

#include <cstdio>
#include <string>

#include "frame/HostError.h"
#include "frame/HostSuites.h"
#include "frame/UnicodeString.h"
#include "frame/UserAlerts.h"
#include "mapgeom/ArtTree.h"
#include "mapgeom/ColorSearch.h"
#include "mapgeom/IndexedScan.h"

namespace orbalis {
namespace {

struct PaletteEntry {
    double cyan, magenta, yellow;
};

constexpr PaletteEntry kPalette[] = {
    {0.3, 0, 0},   {0, 0.3, 0},   {0, 0, 0.3},   {0.2, 0.2, 0}, {0.2, 0, 0.2},   {0, 0.2, 0.2},
    {0.2, 0.4, 0}, {0, 0.2, 0.4}, {0.4, 0.2, 0}, {0.4, 0, 0.4}, {0.2, 0.3, 0.4},
};
constexpr PaletteEntry kPaletteOverflow{0, 0, 0.7};

}  // namespace

CPolygonColoring::CPolygonColoring(HostPluginRef ref, std::unique_ptr<AdjacencyScan> adjacencyScan)
    : scan(adjacencyScan ? std::move(adjacencyScan) : std::make_unique<IndexedScan>()), pluginRef(ref) {}

CPolygonColoring::~CPolygonColoring() {
    if (workLayer) sLayer->DeleteLayer(workLayer);
}

HostErr CPolygonColoring::Run() {
    HostLayer layer = nullptr;
    if (HostErr err = sLayer->GetCurrentLayer(&layer)) return err;

    HostBool visible = 0, editable = 0;
    if (HostErr err = sLayer->GetLayerVisible(layer, &visible)) return err;
    if (!visible) {
        ShowAlert("現在のレイヤーは非表示です");
        return kCanceled;
    }
    if (HostErr err = sLayer->GetLayerEditable(layer, &editable)) return err;
    if (!editable) {
        ShowAlert("現在のレイヤーはロックされています");
        return kCanceled;
    }

    if (sLayer->InsertLayer(nullptr, kHostPlaceAboveAll, &workLayer)) {
        workLayer = nullptr;
        ShowAlert("Error SetWorkLayer");
    }

    ai::UnicodeString title;
    if (HostErr err = sLayer->GetLayerTitle(layer, title.handle())) return err;
    bool yes = false;
    if (HostErr err =
            AskQuestion("レイヤー「" + title.utf8() + "」上のポリゴンすべてを色分けします。よろしいですか？", &yes))
        return err;
    if (!yes) return kCanceled;

    // The layer's group is read through the target layer, which the scan
    // keeps even after the scratch layer becomes current.
    HostArt layerGroup = nullptr;
    if (HostErr err = sArt->GetFirstArtOfLayer(layer, &layerGroup)) return err;
    TouchingPairs pairs(pluginRef, workLayer, layerGroup);
    const HostErr scanned = scan->Scan(pairs);
    if (scanned == kTooManyNodes) return 0;
    if (scanned) return scanned;
    if (!pairs.foundAny()) return 0;
    return Colorize(pairs);
}

// ---------------------------------------------------------------- colouring

HostErr CPolygonColoring::BuildGraph(const TouchingPairs& pairs) {
    nodes = pairs.nodes();
    char text[256];
    std::snprintf(text, sizeof text, "カラーマップ %d", static_cast<int>(pairs.edgeCount()));
    if (HostErr err = SetProgressText(text)) return err;

    // Building the graph shows progress and checks for cancel twice at every
    // node: once while the nodes are indexed, once while their neighbours
    // are listed. The recorded pairs already hold the indices, so the first
    // round only reports.
    for (size_t pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (HostErr err = UpdateProgress(60, 100)) return err;
            if (HostErr err = CheckCancel()) return err;
            if (pass == 1) {
                adjacency.push_back(pairs.neighbours()[i]);
                colors.push_back(0);
            }
        }
    }
    return adjacency.size() > static_cast<size_t>(kNodeLimit) ? kTooManyNodes : 0;
}

HostErr CPolygonColoring::Colorize(const TouchingPairs& pairs) {
    const HostErr built = BuildGraph(pairs);
    if (built == kTooManyNodes) {
        bool yes = false;
        if (HostErr err = AskQuestion(TouchingPairs::kTooManyQuestion, &yes)) return err;
        if (yes) return 0;
    } else if (built) {
        return built;
    }

    SearchColors(adjacency, kColorCount, colors, [](int32_t k, int32_t n) {
        char text[256];
        std::snprintf(text, sizeof text, "カラー設定中... node %d/%d", k, n);
        SetProgressText(text);
        UpdateProgress(k, n);
        return CheckCancel() != 0;
    });

    if (HostErr err = PaintNodes()) return err;
    ShowAlert("終了");
    return 0;
}

HostErr CPolygonColoring::PaintNodes() {
    for (size_t i = 0; i < nodes.size(); ++i) {
        int32_t type = kHostUnknownArt;
        if (HostErr err = sArt->GetArtType(nodes[i], &type)) return err;
        if (type == kHostGroupArt) {
            HostArt child = nullptr;
            if (sArt->GetArtFirstChild(nodes[i], &child)) return kGroupPaintFailed;
            if (child && PaintGroupPaths(child, colors[i])) return kGroupPaintFailed;
        } else if (PaintWithPaletteColor(nodes[i], colors[i])) {
            return kNodePaintFailed;
        }
    }
    return 0;
}

// Paints every path among `first`, its following siblings and everything
// inside them, open and unfilled ones included.
HostErr CPolygonColoring::PaintGroupPaths(HostArt first, int32_t color) {
    return WalkArtTree(first, [color](HostArt art) -> HostErr {
        int32_t type = kHostUnknownArt;
        if (HostErr err = sArt->GetArtType(art, &type)) return err;
        return type == kHostPathArt ? PaintWithPaletteColor(art, color) : 0;
    });
}

HostErr PaintWithPaletteColor(HostArt art, int32_t color) {
    const bool inPalette = color >= 0 && color <= 10;
    if (!inPalette) {
        char text[256];
        std::snprintf(text, sizeof text, "Color Over %d", color);
        ShowAlert(text);
    }
    const PaletteEntry& entry = inPalette ? kPalette[color] : kPaletteOverflow;
    HostPathStyle style;
    if (HostErr err = sPathStyle->GetPathStyle(art, &style, nullptr)) return err;
    style.fillPaint = 1;
    style.fill.color.kind = kHostFourColor;
    style.fill.color.c.four = {entry.cyan, entry.magenta, entry.yellow, 0};
    return sPathStyle->SetPathStyle(art, &style);
}

}  // namespace orbalis
