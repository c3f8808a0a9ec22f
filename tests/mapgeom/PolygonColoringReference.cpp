// The colour coding's straightforward scan, kept as the reference the
// command's indexed scan must match: every pair of polygons in different
// top-level objects is looked at through the host, in scan order, and the
// scratch layer is emptied after every pair test that gets past the cheap
// filters. Apart from the scan, it is the command as it stands.
#include "tests/mapgeom/PolygonColoringReference.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "frame/HostError.h"
#include "frame/HostSuites.h"
#include "frame/UnicodeString.h"
#include "frame/UserAlerts.h"
#include "frame/ArtSet.h"
#include "mapgeom/ArtTree.h"
#include "mapgeom/ColorSearch.h"

namespace orbalis::testing {
namespace {

constexpr const char* kTooManyQuestion = "隣接数が多すぎます。一旦終了して数を減らして下さい。";

// Bounding boxes are grown by this much on every side before the overlap test,
// so that shapes meeting along an edge always reach the unite.
constexpr double kBoundsMargin = 0.5;

bool Overlap(HostRect a, HostRect b) {
    a = {a.left - kBoundsMargin, a.top + kBoundsMargin, a.right + kBoundsMargin,
         a.bottom - kBoundsMargin};
    b = {b.left - kBoundsMargin, b.top + kBoundsMargin, b.right + kBoundsMargin,
         b.bottom - kBoundsMargin};
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

HostPathfinderData UniteParameters(HostArt* art) {
    HostPathfinderData data{};
    data.options = {10.0, 0, 0};
    data.mix = {0.5, 1};
    data.trap = {0.25, 1.0, 0.4, 1.0, 0.05, 0, 0};
    data.selectedArt = art;
    data.selectedArtCount = 2;
    return data;
}

// Selects `art` and everything inside it.
void SelectTree(HostArt art) {
    sArt->SetArtUserAttr(art, kHostArtSelected, kHostArtSelected);
    HostArt child = nullptr;
    for (sArt->GetArtFirstChild(art, &child); child;) {
        SelectTree(child);
        if (sArt->GetArtSibling(child, &child)) break;
    }
}

bool IsCompoundPath(HostArt art) {
    int32_t type = kHostUnknownArt;
    return art && sArt->GetArtType(art, &type) == 0 && type == kHostCompoundPathArt;
}

}  // namespace

ReferenceColoring::ReferenceColoring(HostPluginRef ref) : pluginRef(ref) {}

ReferenceColoring::~ReferenceColoring() {
    if (workLayer) sLayer->DeleteLayer(workLayer);
}

HostErr ReferenceColoring::CheckProgress(int32_t value) {
    if (HostErr err = UpdateProgress(value, 100)) return err;
    return CheckCancel();
}

HostErr ReferenceColoring::Run() {
    askTooMany = true;
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
    if (HostErr err = AskQuestion("レイヤー「" + title.utf8() +
                                      "」上のポリゴンすべてを色分けします。よろしいですか？",
                                  &yes))
        return err;
    if (!yes) return kCanceled;

    // The layer's group is read through the target layer, which the scan
    // keeps even after the scratch layer becomes current.
    if (HostErr err = sArt->GetFirstArtOfLayer(layer, &layerGroup)) return err;
    const HostErr scan = ScanAdjacency();
    if (scan == CPolygonColoring::kTooManyNodes) return 0;
    if (scan) return scan;
    if (!foundAdjacency) return 0;
    return Colorize();
}

// ---------------------------------------------------------------- scan

HostErr ReferenceColoring::ScanAdjacency() {
    HostArt top = nullptr;
    if (HostErr err = sArt->GetArtFirstChild(layerGroup, &top)) return err;
    if (HostErr err = SetProgressText("隣接Artをチェック中...")) return err;
    if (HostErr err = CheckProgress(10)) return err;

    while (top) {
        if (HostErr err = CheckProgress(10)) return err;
        HostArt next = nullptr;
        if (HostErr err = sArt->GetArtSibling(top, &next)) return err;
        if (HostErr err = CheckProgress(10)) return err;
        currentTop = top;
        if (IsPolygon(top)) {
            if (HostErr err = InnerScan(top)) return err;
        }
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = WalkDescendants(child)) return err;
        top = next;
    }
    return 0;
}

// Inner scans of every polygon among `first`, its following siblings and
// everything inside them, checking for cancel at each object.
HostErr ReferenceColoring::WalkDescendants(HostArt first) {
    return WalkArtTree(first, [this](HostArt art) -> HostErr {
        if (HostErr err = CheckProgress(10)) return err;
        return IsPolygon(art) ? InnerScan(art) : 0;
    });
}

HostErr ReferenceColoring::InnerScan(HostArt polygon) {
    // currentTop and every later top-level object, each followed by its subtree.
    for (HostArt top = currentTop; top;) {
        if (top != polygon && IsPolygon(top)) {
            if (HostErr err = PairTest(polygon, top)) return err;
        }
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = ScanSubtree(polygon, child)) return err;
        if (HostErr err = sArt->GetArtSibling(top, &top)) return err;
    }
    return 0;
}

// Pair tests of `polygon` against `first`, its following siblings and
// everything inside them.
HostErr ReferenceColoring::ScanSubtree(HostArt polygon, HostArt first) {
    return WalkArtTree(first, [&](HostArt art) -> HostErr {
        return art != polygon && IsPolygon(art) ? PairTest(polygon, art) : 0;
    });
}

bool ReferenceColoring::IsPolygon(HostArt art) {
    int32_t type = kHostUnknownArt;
    if (sArt->GetArtType(art, &type) || type == kHostGroupArt) return false;
    HostPathStyle style;
    if (sPathStyle->GetPathStyle(art, &style, nullptr) || !style.fillPaint) return false;
    HostBool closed = 0;
    return sPath->GetPathClosed(art, &closed) == 0 && closed;
}

HostErr ReferenceColoring::KeyOf(HostArt art, HostArt* key) {
    HostArt parent = nullptr;
    for (;;) {
        if (HostErr err = sArt->GetArtParent(art, &parent)) return err;
        // Art outside the target layer has no key.
        if (!parent) return kHostBadParameterErr;
        if (parent == layerGroup) break;
        art = parent;
    }
    *key = art;
    return 0;
}

HostErr ReferenceColoring::PairTest(HostArt p, HostArt q) {
    if (!IsPolygon(q)) return 0;
    HostArt keyA = nullptr, keyB = nullptr;
    if (HostErr err = KeyOf(p, &keyA)) return err;
    if (HostErr err = KeyOf(q, &keyB)) return err;
    if (keyA == keyB) return 0;
    for (auto [it, end] = edges.equal_range(keyA); it != end; ++it)
        if (it->second == keyB) return 0;

    HostRect boundsP{}, boundsQ{};
    if (HostErr err = sArt->GetArtBounds(p, &boundsP)) return err;
    if (HostErr err = sArt->GetArtBounds(q, &boundsQ)) return err;
    if (Overlap(boundsP, boundsQ)) {
        bool touching = false;
        TestTouching(p, q, &touching);
        if (touching) {
            if (HostErr err = RecordPair(keyA, keyB)) return err;
        }
    }
    return ClearLayerArt(workLayer);
}

HostErr ReferenceColoring::TestTouching(HostArt p, HostArt q, bool* touching) {
    *touching = false;
    // Failures while preparing the unite are not reported: the decision below
    // looks at whatever the scratch layer holds.
    [&] {
        HostArt scratch = nullptr, copyP = nullptr, copyQ = nullptr;
        if (sArt->GetFirstArtOfLayer(workLayer, &scratch)) return;
        if (sLayer->SetCurrentLayer(workLayer)) return;
        if (sArt->DuplicateArt(p, kHostPlaceInsideOnTop, scratch, &copyP)) return;
        if (sArt->DuplicateArt(q, kHostPlaceBelow, copyP, &copyQ)) return;
        SelectTree(scratch);
        CArtSet selection;
        if (selection.FillFromSelection()) return;
        HostArt copies[2] = {selection.At(1), selection.At(2)};
        HostMessageData message{};
        if (sPlugin->SetupPluginData(pluginRef, &message)) return;
        HostPathfinderData data = UniteParameters(copies);
        sPathfinder->DoUniteEffect(&data, &message);
    }();

    CArtSet scratchArt;
    scratchArt.FillFromLayer(workLayer);
    const uint64_t n = scratchArt.Count();
    if (n == 2) {
        *touching = true;
    } else if (n > 2) {
        HostArt scratch = scratchArt.At(0), first = nullptr, inner = nullptr;
        if (scratch && sArt->GetArtFirstChild(scratch, &first) == 0 && first) {
            if (IsCompoundPath(first))
                *touching = true;
            else if (sArt->GetArtFirstChild(first, &inner) == 0 && IsCompoundPath(inner))
                *touching = true;
        }
    }
    return 0;
}

HostErr ReferenceColoring::RecordPair(HostArt a, HostArt b) {
    foundAdjacency = 1;
    edges.emplace(a, b);
    edges.emplace(b, a);
    for (HostArt key : {a, b})
        if (std::find(nodes.begin(), nodes.end(), key) == nodes.end()) nodes.push_back(key);
    if (askTooMany && nodes.size() > static_cast<size_t>(CPolygonColoring::kNodeLimit)) {
        askTooMany = false;
        bool yes = false;
        if (HostErr err = AskQuestion(kTooManyQuestion, &yes)) return err;
        if (yes) return CPolygonColoring::kTooManyNodes;
    }
    return 0;
}

// ---------------------------------------------------------------- colouring

HostErr ReferenceColoring::BuildGraph() {
    char text[256];
    std::snprintf(text, sizeof text, "カラーマップ %d", static_cast<int>(edges.size()));
    if (HostErr err = SetProgressText(text)) return err;

    for (size_t i = 0; i < nodes.size(); ++i) {
        if (HostErr err = UpdateProgress(60, 100)) return err;
        if (HostErr err = CheckCancel()) return err;
        nodeIndex.emplace(nodes[i], static_cast<int32_t>(i));
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (HostErr err = UpdateProgress(60, 100)) return err;
        if (HostErr err = CheckCancel()) return err;
        std::vector<int32_t> neighbours;
        for (auto [it, end] = edges.equal_range(nodes[i]); it != end; ++it)
            neighbours.push_back(nodeIndex.at(it->second));
        adjacency.push_back(std::move(neighbours));
        colors.push_back(0);
    }
    edges.clear();
    return adjacency.size() > static_cast<size_t>(CPolygonColoring::kNodeLimit) ? CPolygonColoring::kTooManyNodes : 0;
}

HostErr ReferenceColoring::Colorize() {
    const HostErr built = BuildGraph();
    if (built == CPolygonColoring::kTooManyNodes) {
        bool yes = false;
        if (HostErr err = AskQuestion(kTooManyQuestion, &yes)) return err;
        if (yes) return 0;
    } else if (built) {
        return built;
    }

    SearchColors(adjacency, CPolygonColoring::kColorCount, colors, [](int32_t k, int32_t n) {
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

HostErr ReferenceColoring::PaintNodes() {
    for (size_t i = 0; i < nodes.size(); ++i) {
        int32_t type = kHostUnknownArt;
        if (HostErr err = sArt->GetArtType(nodes[i], &type)) return err;
        if (type == kHostGroupArt) {
            HostArt child = nullptr;
            if (sArt->GetArtFirstChild(nodes[i], &child)) return CPolygonColoring::kGroupPaintFailed;
            if (child && PaintGroupPaths(child, colors[i])) return CPolygonColoring::kGroupPaintFailed;
        } else if (PaintWithPaletteColor(nodes[i], colors[i])) {
            return CPolygonColoring::kNodePaintFailed;
        }
    }
    return 0;
}

// Paints every path among `first`, its following siblings and everything
// inside them, open and unfilled ones included.
HostErr ReferenceColoring::PaintGroupPaths(HostArt first, int32_t color) {
    return WalkArtTree(first, [color](HostArt art) -> HostErr {
        int32_t type = kHostUnknownArt;
        if (HostErr err = sArt->GetArtType(art, &type)) return err;
        return type == kHostPathArt ? PaintWithPaletteColor(art, color) : 0;
    });
}

}  // namespace orbalis::testing
