// Disposed, stale, wrong-kind and made-up handles given to the host's
// string, file path, art set, art and layer suites: each is refused with
// 'PARM' and nothing is read through it.
#include <gtest/gtest.h>

#include <string>

#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::host {
namespace {

class StaleHandlesTest : public ::testing::Test {
protected:
    HostString NewText(const std::string& text) {
        HostString s = nullptr;
        EXPECT_EQ(strings.NewString(&s), 0);
        EXPECT_EQ(strings.SetUTF8(s, text.data(), text.size()), 0);
        return s;
    }
    std::string Read(HostString s) {
        char buffer[64] = {};
        return strings.GetUTF8(s, buffer, sizeof buffer, nullptr) == 0 ? buffer : "<refused>";
    }

    Host host;
    const HostUnicodeStringSuite& strings = UnicodeStringSuite();
    const HostFilePathSuite& paths = FilePathSuite();
    const HostArtSetSuite& sets = ArtSetSuite();
    const HostPreferenceSuite& preferences = PreferenceSuite();
};

TEST_F(StaleHandlesTest, ADisposedStringIsRefusedEverywhereEvenOnceItsSlotIsReused) {
    HostString gone = NewText("old");
    HostString other = NewText("other");
    ASSERT_EQ(strings.DisposeString(gone), 0);
    EXPECT_EQ(strings.DisposeString(gone), kHostBadParameterErr) << "a second dispose";

    size_t n = 0;
    char buffer[8];
    EXPECT_EQ(strings.Length(gone, &n), kHostBadParameterErr);
    EXPECT_EQ(strings.GetUTF8(gone, buffer, sizeof buffer, &n), kHostBadParameterErr);
    EXPECT_EQ(strings.SetUTF8(gone, "x", 1), kHostBadParameterErr);
    EXPECT_EQ(strings.CopyString(other, gone), kHostBadParameterErr);
    EXPECT_EQ(strings.Append(other, gone), kHostBadParameterErr);
    EXPECT_EQ(Read(other), "other") << "a refused operation leaves its other argument alone";

    // The next string takes the freed slot; the old handle must not reach it.
    HostString fresh = NewText("fresh");
    EXPECT_EQ(strings.DisposeString(gone), kHostBadParameterErr);
    EXPECT_EQ(strings.SetUTF8(gone, "x", 1), kHostBadParameterErr);
    EXPECT_EQ(Read(fresh), "fresh");
    EXPECT_EQ(host.liveStrings, 2);

    // Other suites that take strings refuse it as well.
    EXPECT_EQ(UserSuite().MessageAlert(gone), kHostBadParameterErr);
    EXPECT_EQ(preferences.PutUnicodeStringPreference(nullptr, "k", gone), kHostBadParameterErr);

    EXPECT_EQ(strings.DisposeString(fresh), 0);
    EXPECT_EQ(strings.DisposeString(other), 0);
    EXPECT_EQ(host.liveStrings, 0);
}

TEST_F(StaleHandlesTest, ADisposedFilePathIsRefused) {
    HostFilePath path = nullptr, copy = nullptr;
    ASSERT_EQ(paths.NewFilePath(&path), 0);
    ASSERT_EQ(paths.NewFilePath(&copy), 0);
    HostString text = NewText("/tmp/a.txt");
    ASSERT_EQ(paths.SetFromString(path, text), 0);
    ASSERT_EQ(paths.DisposeFilePath(path), 0);
    EXPECT_EQ(host.liveFilePaths, 1);

    char buffer[32];
    size_t n = 0;
    EXPECT_EQ(paths.DisposeFilePath(path), kHostBadParameterErr);
    EXPECT_EQ(paths.SetFromString(path, text), kHostBadParameterErr);
    EXPECT_EQ(paths.GetAsString(path, text), kHostBadParameterErr);
    EXPECT_EQ(paths.GetPlatformPath(path, buffer, sizeof buffer, &n), kHostBadParameterErr);
    EXPECT_EQ(paths.CopyFilePath(copy, path), kHostBadParameterErr);
    EXPECT_EQ(preferences.PutFilePathPreference(nullptr, "k", path), kHostBadParameterErr);
    EXPECT_EQ(Read(text), "/tmp/a.txt");

    EXPECT_EQ(paths.DisposeFilePath(copy), 0);
    EXPECT_EQ(strings.DisposeString(text), 0);
    EXPECT_EQ(host.liveFilePaths, 0);
}

TEST_F(StaleHandlesTest, ADisposedArtSetIsRefusedThroughAnyCopyOfItsHandle) {
    HostArtSet set = nullptr;
    ASSERT_EQ(sets.NewArtSet(&set), 0);
    HostArtSet kept = set;
    ASSERT_EQ(sets.DisposeArtSet(&set), 0);
    EXPECT_EQ(set, nullptr) << "dispose clears the caller's handle";
    EXPECT_EQ(host.liveArtSets, 0);

    size_t count = 0;
    HostArt art = nullptr;
    EXPECT_EQ(sets.DisposeArtSet(&kept), kHostBadParameterErr);
    EXPECT_NE(kept, nullptr) << "a refused dispose leaves the handle as it was";
    EXPECT_EQ(sets.CountArtSet(kept, &count), kHostBadParameterErr);
    EXPECT_EQ(sets.IndexArtSet(kept, 0, &art), kHostBadParameterErr);
    EXPECT_EQ(sets.ClearArtSet(kept), kHostBadParameterErr);
    EXPECT_EQ(sets.DisposeArtSet(&set), kHostBadParameterErr) << "null";
    EXPECT_EQ(sets.DisposeArtSet(nullptr), kHostBadParameterErr);
}

TEST_F(StaleHandlesTest, AHandleOfAnotherKindIsRefusedAndItsObjectSurvives) {
    HostString text = NewText("kept");
    HostFilePath path = nullptr;
    HostArtSet set = nullptr;
    ASSERT_EQ(paths.NewFilePath(&path), 0);
    ASSERT_EQ(sets.NewArtSet(&set), 0);

    auto asPath = reinterpret_cast<HostFilePath>(text);
    auto asSet = reinterpret_cast<HostArtSet>(text);
    auto pathAsText = reinterpret_cast<HostString>(path);
    auto setAsText = reinterpret_cast<HostString>(set);
    size_t n = 0;
    EXPECT_EQ(paths.DisposeFilePath(asPath), kHostBadParameterErr);
    EXPECT_EQ(sets.DisposeArtSet(&asSet), kHostBadParameterErr);
    EXPECT_EQ(sets.CountArtSet(asSet, &n), kHostBadParameterErr);
    EXPECT_EQ(strings.DisposeString(pathAsText), kHostBadParameterErr);
    EXPECT_EQ(strings.Length(setAsText, &n), kHostBadParameterErr);
    EXPECT_EQ(paths.SetFromString(path, pathAsText), kHostBadParameterErr);
    EXPECT_EQ(host.liveStrings, 1);
    EXPECT_EQ(host.liveFilePaths, 1);
    EXPECT_EQ(host.liveArtSets, 1);
    EXPECT_EQ(Read(text), "kept");

    EXPECT_EQ(strings.DisposeString(text), 0);
    EXPECT_EQ(paths.DisposeFilePath(path), 0);
    EXPECT_EQ(sets.DisposeArtSet(&set), 0);
}

TEST_F(StaleHandlesTest, MadeUpHandlesAreRefusedWithoutBeingRead) {
    // A value that looks like a pointer to string contents is not a string.
    std::u16string impostor = u"not a host string";
    size_t n = 0;
    for (uintptr_t value : {uintptr_t{1}, uintptr_t{0x1234}, ~uintptr_t{0}, reinterpret_cast<uintptr_t>(&impostor)}) {
        auto s = reinterpret_cast<HostString>(value);
        auto p = reinterpret_cast<HostFilePath>(value);
        auto a = reinterpret_cast<HostArtSet>(value);
        EXPECT_EQ(strings.Length(s, &n), kHostBadParameterErr) << value;
        EXPECT_EQ(strings.DisposeString(s), kHostBadParameterErr) << value;
        EXPECT_EQ(paths.DisposeFilePath(p), kHostBadParameterErr) << value;
        EXPECT_EQ(sets.CountArtSet(a, &n), kHostBadParameterErr) << value;
        EXPECT_EQ(sets.DisposeArtSet(&a), kHostBadParameterErr) << value;
    }
    EXPECT_EQ(strings.Length(nullptr, &n), kHostBadParameterErr);
    EXPECT_EQ(host.liveStrings + host.liveFilePaths + host.liveArtSets, 0);
}

class StaleArtHandlesTest : public StaleHandlesTest {
protected:
    void SetUp() override {
        host.OpenDocument(testing::NewDocument(&layer));
        document = host.document();
    }
    // Every art operation that takes the handle, and the code it gives.
    static std::vector<HostErr> ArtCalls(HostArt art) {
        const HostArtSuite& suite = ArtSuite();
        int32_t type = 0, attributes = 0;
        HostArt out = nullptr;
        HostLayer layerOut = nullptr;
        HostRect bounds{};
        return {suite.GetArtType(art, &type),
                suite.GetArtUserAttr(art, kHostArtSelected, &attributes),
                suite.SetArtUserAttr(art, kHostArtSelected, kHostArtSelected),
                suite.GetArtParent(art, &out),
                suite.GetArtFirstChild(art, &out),
                suite.GetArtSibling(art, &out),
                suite.GetLayerOfArt(art, &layerOut),
                suite.GetArtBounds(art, &bounds),
                suite.DuplicateArt(art, kHostPlaceAbove, nullptr, &out),
                suite.ReorderArt(art, kHostPlaceInsideOnTop, nullptr),
                suite.NewArt(kHostPathArt, kHostPlaceAbove, art, &out),
                suite.DisposeArt(art)};
    }
    static std::vector<HostErr> LayerCalls(HostLayer layer) {
        const HostLayerSuite& suite = LayerSuite();
        HostBool flag = false;
        HostLayer out = nullptr;
        HostArt group = nullptr;
        return {suite.GetLayerVisible(layer, &flag),
                suite.SetLayerEditable(layer, false),
                suite.GetNextLayer(layer, &out),
                suite.GetLayerFirstChild(layer, &out),
                suite.SetCurrentLayer(layer),
                suite.LayerHasSelectedArt(layer, &flag),
                ArtSuite().GetFirstArtOfLayer(layer, &group),
                suite.InsertLayer(layer, kHostPlaceAbove, &out),
                suite.DeleteLayer(layer)};
    }
    static bool AllRefused(const std::vector<HostErr>& codes) {
        for (HostErr code : codes)
            if (code != kHostBadParameterErr) return false;
        return true;
    }

    Layer* layer = nullptr;
    Document* document = nullptr;
};

TEST_F(StaleArtHandlesTest, DisposedArtIsRefusedEverywhereEvenOnceItsSlotIsReused) {
    Art* group = testing::AddGroup(*document, layer->group());
    const HostArt inside = Document::toHandle(testing::AddRect(*document, group, 0, 0, 5, 5));
    const HostArt gone = Document::toHandle(group);
    const size_t live = document->liveArtCount();
    ASSERT_EQ(ArtSuite().DisposeArt(gone), 0);
    EXPECT_EQ(document->liveArtCount(), live - 2) << "the group and what it held are freed";
    EXPECT_EQ(Document::fromHandle(gone), nullptr);
    EXPECT_EQ(Document::fromHandle(inside), nullptr);

    HostBool valid = true;
    ASSERT_EQ(ArtSuite().ValidArt(gone, &valid), 0);
    EXPECT_FALSE(valid);
    EXPECT_TRUE(AllRefused(ArtCalls(gone)));
    EXPECT_TRUE(AllRefused(ArtCalls(inside)));

    // New art takes the freed slots; the old handles must not reach it.
    Art* fresh = testing::AddRect(*document, layer->group(), 1, 2, 3, 4);
    Art* second = testing::AddRect(*document, layer->group(), 1, 2, 3, 4);
    EXPECT_NE(Document::toHandle(fresh), gone);
    EXPECT_EQ(Document::fromHandle(gone), nullptr);
    EXPECT_EQ(Document::fromHandle(inside), nullptr);
    EXPECT_TRUE(AllRefused(ArtCalls(gone)));
    EXPECT_EQ(Document::fromHandle(Document::toHandle(fresh)), fresh);
    EXPECT_EQ(Document::fromHandle(Document::toHandle(second)), second);
    EXPECT_EQ(fresh->attributes(), 0) << "a refused call changed the object in the reused slot";
    EXPECT_EQ(document->liveArtCount(), live);
}

TEST_F(StaleArtHandlesTest, ADeletedLayerAndItsArtAreRefused) {
    Layer* doomed = nullptr;
    ASSERT_EQ(document->insertLayer(layer, kHostPlaceBelow, &doomed), 0);
    Layer* sublayer = nullptr;
    ASSERT_EQ(document->insertLayer(doomed, kHostPlaceInsideOnTop, &sublayer), 0);
    const HostArt art = Document::toHandle(testing::AddRect(*document, sublayer->group(), 0, 0, 1, 1));
    const HostLayer gone = Document::toHandle(doomed), goneInside = Document::toHandle(sublayer);
    ASSERT_EQ(LayerSuite().DeleteLayer(gone), 0);

    EXPECT_EQ(Document::fromHandle(gone), nullptr);
    EXPECT_EQ(Document::fromHandle(goneInside), nullptr);
    EXPECT_EQ(Document::fromHandle(art), nullptr);
    EXPECT_TRUE(AllRefused(LayerCalls(gone)));
    EXPECT_TRUE(AllRefused(LayerCalls(goneInside)));
    EXPECT_TRUE(AllRefused(ArtCalls(art)));
    EXPECT_EQ(document->allLayers(), std::vector<Layer*>{layer}) << "nothing was inserted beside a dead layer";
    EXPECT_EQ(document->currentLayer(), layer);
    EXPECT_TRUE(layer->editable);
}

TEST_F(StaleArtHandlesTest, ArtAndLayerHandlesOfAnotherKindAreRefusedAndTheirObjectsSurvive) {
    Art* rect = testing::AddRect(*document, layer->group(), 0, 0, 1, 1);
    HostString text = NewText("kept");
    HostArtSet set = nullptr;
    ASSERT_EQ(sets.NewArtSet(&set), 0);

    // Art taken for a layer and the other way round, and other host objects
    // taken for either.
    const HostArt art = Document::toHandle(rect);
    const HostLayer asLayer = reinterpret_cast<HostLayer>(art);
    EXPECT_EQ(Document::fromHandle(asLayer), nullptr);
    EXPECT_TRUE(AllRefused(LayerCalls(asLayer)));
    const HostArt layerAsArt = reinterpret_cast<HostArt>(Document::toHandle(layer));
    EXPECT_EQ(Document::fromHandle(layerAsArt), nullptr);
    EXPECT_TRUE(AllRefused(ArtCalls(layerAsArt)));
    for (uintptr_t other : {reinterpret_cast<uintptr_t>(text), reinterpret_cast<uintptr_t>(set)}) {
        EXPECT_EQ(Document::fromHandle(reinterpret_cast<HostArt>(other)), nullptr);
        EXPECT_EQ(Document::fromHandle(reinterpret_cast<HostLayer>(other)), nullptr);
        EXPECT_TRUE(AllRefused(ArtCalls(reinterpret_cast<HostArt>(other))));
        EXPECT_TRUE(AllRefused(LayerCalls(reinterpret_cast<HostLayer>(other))));
    }
    size_t n = 0;
    EXPECT_EQ(strings.Length(reinterpret_cast<HostString>(art), &n), kHostBadParameterErr);
    EXPECT_EQ(sets.CountArtSet(reinterpret_cast<HostArtSet>(art), &n), kHostBadParameterErr);

    EXPECT_EQ(Document::fromHandle(art), rect);
    EXPECT_EQ(rect->attributes(), 0);
    EXPECT_EQ(document->allLayers(), std::vector<Layer*>{layer});
    EXPECT_TRUE(layer->editable);
    EXPECT_EQ(Read(text), "kept");
    EXPECT_EQ(strings.DisposeString(text), 0);
    EXPECT_EQ(sets.DisposeArtSet(&set), 0);
}

TEST_F(StaleArtHandlesTest, MadeUpArtAndLayerHandlesAreRefusedWithoutBeingRead) {
    Art* rect = testing::AddRect(*document, layer->group(), 0, 0, 1, 1);
    const auto real = reinterpret_cast<uintptr_t>(Document::toHandle(rect));
    // Before, an art handle was the object's address: the address of a live
    // object is no handle now.
    for (uintptr_t value : {uintptr_t{1}, uintptr_t{0x1234}, ~uintptr_t{0}, real + 1, real + (uintptr_t{1} << 32),
                            reinterpret_cast<uintptr_t>(rect), reinterpret_cast<uintptr_t>(layer)}) {
        EXPECT_EQ(Document::fromHandle(reinterpret_cast<HostArt>(value)), nullptr) << std::hex << value;
        EXPECT_EQ(Document::fromHandle(reinterpret_cast<HostLayer>(value)), nullptr) << std::hex << value;
        EXPECT_TRUE(AllRefused(ArtCalls(reinterpret_cast<HostArt>(value)))) << std::hex << value;
        EXPECT_TRUE(AllRefused(LayerCalls(reinterpret_cast<HostLayer>(value)))) << std::hex << value;
    }
    EXPECT_EQ(rect->attributes(), 0);
    EXPECT_EQ(document->allLayers(), std::vector<Layer*>{layer});
    EXPECT_EQ(Document::fromHandle(reinterpret_cast<HostArt>(real)), rect);
}

TEST_F(StaleArtHandlesTest, AnArtSetGivesNullForArtDisposedOfAfterItWasListed) {
    Art* first = testing::AddRect(*document, layer->group(), 0, 0, 1, 1);
    Art* second = testing::AddRect(*document, layer->group(), 0, 0, 1, 1);
    HostArtSet set = nullptr;
    ASSERT_EQ(sets.NewArtSet(&set), 0);
    ASSERT_EQ(sets.LayerArtSet(Document::toHandle(layer), set), 0);
    ASSERT_EQ(ArtSuite().DisposeArt(Document::toHandle(first)), 0);
    testing::AddRect(*document, layer->group(), 0, 0, 1, 1);  // may take the freed slot

    size_t count = 0;
    ASSERT_EQ(sets.CountArtSet(set, &count), 0);
    ASSERT_EQ(count, 3u) << "the layer's group and two paths";
    std::vector<HostArt> listed(count);
    for (size_t i = 0; i < count; ++i) ASSERT_EQ(sets.IndexArtSet(set, i, &listed[i]), 0);
    EXPECT_EQ(listed, (std::vector<HostArt>{Document::toHandle(layer->group()), nullptr, Document::toHandle(second)}));
    EXPECT_EQ(sets.DisposeArtSet(&set), 0);
}

}  // namespace
}  // namespace orbalis::host
