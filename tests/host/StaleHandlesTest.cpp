// Disposed, stale, wrong-kind and made-up handles given to the host's
// string, file path and art set suites: each is refused with 'PARM' and
// nothing is read through it.
#include <gtest/gtest.h>

#include <string>

#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"

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
    for (uintptr_t value : {uintptr_t{1}, uintptr_t{0x1234}, ~uintptr_t{0},
                            reinterpret_cast<uintptr_t>(&impostor)}) {
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

}  // namespace
}  // namespace orbalis::host
