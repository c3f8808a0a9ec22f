#include "mapgeom/PolygonColoring.h"

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

namespace orbalis {
namespace {

constexpr const char* kTooManyQuestion = "隣接数が多すぎます。一旦終了して数を減らして下さい。";

// Bounding boxes are grown by this much on every side before the overlap test,
// so that shapes meeting along an edge always reach the unite.
constexpr double kBoundsMargin = 0.5;

struct PaletteEntry {
    double cyan, magenta, yellow;
};

constexpr PaletteEntry kPalette[] = {
    {0.3, 0, 0},   {0, 0.3, 0},   {0, 0, 0.3},     {0.2, 0.2, 0}, {0.2, 0, 0.2},   {0, 0.2, 0.2},
    {0.2, 0.4, 0}, {0, 0.2, 0.4}, {0.4, 0.2, 0},   {0.4, 0, 0.4}, {0.2, 0.3, 0.4},
};
constexpr PaletteEntry kPaletteOverflow{0, 0, 0.7};

// Whether two grown boxes overlap; boxes that touch overlap.
bool Overlap(const HostRect& a, const HostRect& b) {
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

CPolygonColoring::CPolygonColoring(HostPluginRef ref) : pluginRef(ref) {}

CPolygonColoring::~CPolygonColoring() {
    if (workLayer) sLayer->DeleteLayer(workLayer);
}

HostErr CPolygonColoring::CheckProgress(int32_t value) {
    if (HostErr err = UpdateProgress(value, 100)) return err;
    return CheckCancel();
}

HostErr CPolygonColoring::Run() {
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
    if (scan == kTooManyNodes) return 0;
    if (scan) return scan;
    if (!foundAdjacency) return 0;
    return Colorize();
}

// ---------------------------------------------------------------- scan
//
// Every polygon P is tested against the polygons of its own top-level object
// and of every later one, in scan order. Only pairs whose grown boxes overlap
// can reach the unite, so the scan asks an index of the boxes for the
// candidates and visits them in the same order: the same pairs are united
// and recorded in the same order as when every pair is looked at, and the
// progress and cancel checks stay one per object of the walk.

HostErr CPolygonColoring::ScanAdjacency() {
    HostArt top = nullptr;
    if (HostErr err = sArt->GetArtFirstChild(layerGroup, &top)) return err;
    if (HostErr err = SetProgressText("隣接Artをチェック中...")) return err;
    if (HostErr err = CheckProgress(10)) return err;
    if (HostErr err = RememberLayerArt(top)) return err;

    std::vector<HostRect> grown(scanned.size());
    std::vector<bool> indexed(scanned.size());
    for (size_t i = 0; i < scanned.size(); ++i) {
        grown[i] = scanned[i].box;
        indexed[i] = scanned[i].polygon && !scanned[i].keyError && !scanned[i].boundsError;
    }
    boxes = std::make_unique<BoxIndex>(grown, indexed);
    scratchEmpty = workLayer != nullptr;

    for (size_t t = 0; t < topStarts.size(); ++t) {
        const size_t begin = topStarts[t];
        const size_t end = t + 1 < topStarts.size() ? topStarts[t + 1] : scanned.size();
        if (HostErr err = CheckProgress(10)) return err;
        if (HostErr err = CheckProgress(10)) return err;
        currentTop = scanned[begin].art;
        for (size_t i = begin; i < end; ++i) {
            // The top-level object itself was checked above; each object
            // inside it is checked as the walk reaches it.
            if (i != begin) {
                if (HostErr err = CheckProgress(10)) return err;
            }
            if (scanned[i].polygon) {
                if (HostErr err = InnerScan(i)) return err;
            }
        }
    }
    return 0;
}

// Reads every object of the layer once, in scan order. A failure while
// walking the art ends the scan; failures reading a polygon's parent chain or
// bounds are kept and reported by the first pair test that needs them.
HostErr CPolygonColoring::RememberLayerArt(HostArt firstTop) {
    for (HostArt top = firstTop; top;) {
        const size_t start = scanned.size();
        topStarts.push_back(start);
        Remember(top, start);
        HostArt child = nullptr;
        if (HostErr err = sArt->GetArtFirstChild(top, &child)) return err;
        if (HostErr err = WalkArtTree(child, [&](HostArt art) -> HostErr {
                Remember(art, start);
                return 0;
            }))
            return err;
        if (HostErr err = sArt->GetArtSibling(top, &top)) return err;
    }
    return 0;
}

void CPolygonColoring::Remember(HostArt art, size_t topStart) {
    ScannedArt entry;
    entry.art = art;
    entry.topStart = topStart;
    entry.polygon = IsPolygon(art);
    if (entry.polygon) {
        entry.keyError = KeyOf(art, &entry.key);
        HostRect bounds{};
        entry.boundsError = sArt->GetArtBounds(art, &bounds);
        entry.box = {bounds.left - kBoundsMargin, bounds.top + kBoundsMargin,
                     bounds.right + kBoundsMargin, bounds.bottom - kBoundsMargin};
        if (entry.keyError || entry.boundsError) unreadable.push_back(scanned.size());
    }
    scanned.push_back(entry);
}

HostErr CPolygonColoring::InnerScan(size_t p) {
    const ScannedArt& polygon = scanned[p];
    if (polygon.keyError || polygon.boundsError || !workLayer) {
        // Every pair from this polygon reaches the test: it reports the
        // polygon's failure, or that there is no scratch layer to empty.
        candidates.clear();
        for (size_t q = polygon.topStart; q < scanned.size(); ++q)
            if (scanned[q].polygon) candidates.push_back(q);
    } else {
        boxes->Query(polygon.box, polygon.topStart, candidates);
        // Polygons whose key or bounds could not be read take part in every
        // scan, so that their failure is met where a full scan meets it.
        if (!unreadable.empty()) {
            for (size_t q : unreadable)
                if (q >= polygon.topStart) candidates.push_back(q);
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        }
    }
    for (size_t q : candidates) {
        if (q == p) continue;
        if (HostErr err = PairTest(p, q)) return err;
    }
    return 0;
}

bool CPolygonColoring::IsPolygon(HostArt art) {
    int32_t type = kHostUnknownArt;
    if (sArt->GetArtType(art, &type) || type == kHostGroupArt) return false;
    HostPathStyle style;
    if (sPathStyle->GetPathStyle(art, &style, nullptr) || !style.fillPaint) return false;
    HostBool closed = 0;
    return sPath->GetPathClosed(art, &closed) == 0 && closed;
}

HostErr CPolygonColoring::KeyOf(HostArt art, HostArt* key) {
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

HostErr CPolygonColoring::PairTest(size_t p, size_t q) {
    const ScannedArt& a = scanned[p];
    const ScannedArt& b = scanned[q];
    if (a.keyError) return a.keyError;
    if (b.keyError) return b.keyError;
    if (a.key == b.key) return 0;
    for (auto [it, end] = edges.equal_range(a.key); it != end; ++it)
        if (it->second == b.key) return 0;
    if (a.boundsError) return a.boundsError;
    if (b.boundsError) return b.boundsError;

    if (Overlap(a.box, b.box)) {
        bool touching = false;
        scratchEmpty = false;
        TestTouching(a.art, b.art, &touching);
        if (touching) {
            if (HostErr err = RecordPair(a.key, b.key)) return err;
        }
    }
    return EmptyScratchLayer();
}

HostErr CPolygonColoring::EmptyScratchLayer() {
    if (scratchEmpty) return 0;
    const HostErr err = ClearLayerArt(workLayer);
    scratchEmpty = err == 0;
    return err;
}

HostErr CPolygonColoring::TestTouching(HostArt p, HostArt q, bool* touching) {
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

HostErr CPolygonColoring::RecordPair(HostArt a, HostArt b) {
    foundAdjacency = 1;
    edges.emplace(a, b);
    edges.emplace(b, a);
    for (HostArt key : {a, b})
        if (nodeSet.insert(key).second) nodes.push_back(key);
    if (askTooMany && nodes.size() > static_cast<size_t>(kNodeLimit)) {
        askTooMany = false;
        bool yes = false;
        if (HostErr err = AskQuestion(kTooManyQuestion, &yes)) return err;
        if (yes) return kTooManyNodes;
    }
    return 0;
}

// ---------------------------------------------------------------- colouring

HostErr CPolygonColoring::BuildGraph() {
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
    return adjacency.size() > static_cast<size_t>(kNodeLimit) ? kTooManyNodes : 0;
}

HostErr CPolygonColoring::Colorize() {
    const HostErr built = BuildGraph();
    if (built == kTooManyNodes) {
        bool yes = false;
        if (HostErr err = AskQuestion(kTooManyQuestion, &yes)) return err;
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
