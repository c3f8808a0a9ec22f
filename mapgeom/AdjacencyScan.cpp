#include "mapgeom/AdjacencyScan.h"

#include <algorithm>

#include "frame/HostSuites.h"
#include "frame/UserAlerts.h"
#include "frame/ArtSet.h"

namespace orbalis {
namespace {

// How far bounds are grown on every side before the overlap test.
constexpr double kBoundsMargin = 0.5;

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

TouchingPairs::TouchingPairs(HostPluginRef pluginRef, HostLayer scratchLayer, HostArt layerGroup)
    : pluginRef_(pluginRef), scratchLayer_(scratchLayer), layerGroup_(layerGroup) {}

HostErr TouchingPairs::Start(HostArt* firstTop) const {
    if (HostErr err = sArt->GetArtFirstChild(layerGroup_, firstTop)) return err;
    if (HostErr err = SetProgressText("隣接Artをチェック中...")) return err;
    return CheckProgress(10);
}

HostErr TouchingPairs::CheckProgress(int32_t value) {
    if (HostErr err = UpdateProgress(value, 100)) return err;
    return CheckCancel();
}

bool TouchingPairs::IsPolygon(HostArt art) {
    int32_t type = kHostUnknownArt;
    if (sArt->GetArtType(art, &type) || type == kHostGroupArt) return false;
    HostPathStyle style;
    if (sPathStyle->GetPathStyle(art, &style, nullptr) || !style.fillPaint) return false;
    HostBool closed = 0;
    return sPath->GetPathClosed(art, &closed) == 0 && closed;
}

HostErr TouchingPairs::KeyOf(HostArt art, HostArt* key) const {
    HostArt parent = nullptr;
    for (;;) {
        if (HostErr err = sArt->GetArtParent(art, &parent)) return err;
        if (!parent) return kHostBadParameterErr;
        if (parent == layerGroup_) break;
        art = parent;
    }
    *key = art;
    return 0;
}

bool TouchingPairs::Paired(HostArt keyA, HostArt keyB) const {
    const auto a = nodeIndex_.find(keyA);
    if (a == nodeIndex_.end()) return false;
    const auto b = nodeIndex_.find(keyB);
    if (b == nodeIndex_.end()) return false;
    const std::vector<int32_t>& around = neighbours_[a->second];
    return std::find(around.begin(), around.end(), b->second) != around.end();
}

HostRect TouchingPairs::Grown(const HostRect& b) {
    return {b.left - kBoundsMargin, b.top + kBoundsMargin, b.right + kBoundsMargin, b.bottom - kBoundsMargin};
}

bool TouchingPairs::Overlap(const HostRect& a, const HostRect& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

bool TouchingPairs::Touching(HostArt p, HostArt q) {
    // Failures while preparing the unite are not reported: the decision below
    // looks at whatever the scratch layer holds.
    [&] {
        HostArt scratch = nullptr, copyP = nullptr, copyQ = nullptr;
        if (sArt->GetFirstArtOfLayer(scratchLayer_, &scratch)) return;
        if (sLayer->SetCurrentLayer(scratchLayer_)) return;
        if (sArt->DuplicateArt(p, kHostPlaceInsideOnTop, scratch, &copyP)) return;
        if (sArt->DuplicateArt(q, kHostPlaceBelow, copyP, &copyQ)) return;
        SelectTree(scratch);
        CArtSet selection;
        if (selection.FillFromSelection()) return;
        HostArt copies[2] = {selection.At(1), selection.At(2)};
        HostMessageData message{};
        if (sPlugin->SetupPluginData(pluginRef_, &message)) return;
        HostPathfinderData data = UniteParameters(copies);
        sPathfinder->DoUniteEffect(&data, &message);
    }();

    CArtSet scratchArt;
    scratchArt.FillFromLayer(scratchLayer_);
    const uint64_t n = scratchArt.Count();
    if (n == 2) return true;
    if (n < 2) return false;
    HostArt scratch = scratchArt.At(0), first = nullptr, inner = nullptr;
    if (!scratch || sArt->GetArtFirstChild(scratch, &first) || !first) return false;
    if (IsCompoundPath(first)) return true;
    return sArt->GetArtFirstChild(first, &inner) == 0 && IsCompoundPath(inner);
}

int32_t TouchingPairs::NodeIndex(HostArt key) {
    const auto [it, added] = nodeIndex_.try_emplace(key, static_cast<int32_t>(nodes_.size()));
    if (added) {
        nodes_.push_back(key);
        neighbours_.emplace_back();
    }
    return it->second;
}

HostErr TouchingPairs::Record(HostArt a, HostArt b) {
    const int32_t indexA = NodeIndex(a), indexB = NodeIndex(b);
    neighbours_[indexA].push_back(indexB);
    neighbours_[indexB].push_back(indexA);
    edgeCount_ += 2;
    if (askTooMany_ && nodes_.size() > static_cast<size_t>(kNodeLimit)) {
        askTooMany_ = false;
        bool yes = false;
        if (HostErr err = AskQuestion(kTooManyQuestion, &yes)) return err;
        if (yes) return kTooManyNodes;
    }
    return 0;
}

}  // namespace orbalis
