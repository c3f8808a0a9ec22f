// The operation gate every suite operation passes: exceptions thrown inside
// the host come back as codes, and counting, fault injection and argument
// binding happen in a fixed order.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {
namespace {

using host::Faults;
using host::FaultKind;

constexpr HostErr kInjected = HOST_FOURCC('F', 'A', 'I', 'L');

class OperationGateTest : public ::testing::Test {
protected:
    void SetUp() override {
        Faults::Reset();
        auto document = std::make_unique<host::Document>();
        document->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
        document->newArt(kHostPathArt, kHostPlaceInsideOnTop, layer->group(), &path);
        document->newArt(kHostGroupArt, kHostPlaceInsideOnTop, layer->group(), &group);
        host.OpenDocument(std::move(document));
    }
    void TearDown() override { Faults::Reset(); }

    HostArt Handle(host::Art* art) { return host::Document::toHandle(art); }

    host::Host host;
    host::Layer* layer = nullptr;
    host::Art* path = nullptr;
    host::Art* group = nullptr;
    const HostArtSuite& art = host::ArtSuite();
    const HostLayerSuite& layers = host::LayerSuite();
};

TEST_F(OperationGateTest, AnExceptionInsideTheHostComesBackAsACodeAndTheNextCallWorks) {
    HostRect bounds{};
    Faults::ThrowInOperation("GetArtBounds", 2, FaultKind::OutOfMemory);
    EXPECT_EQ(art.GetArtBounds(Handle(path), &bounds), kHostNoBoundsErr) << "an empty path has no bounds";
    EXPECT_EQ(art.GetArtBounds(Handle(path), &bounds), kHostOutOfMemoryErr);
    EXPECT_EQ(art.GetArtBounds(Handle(path), &bounds), kHostNoBoundsErr);

    int32_t type = 0;
    Faults::ThrowInOperation("GetArtType", 1, FaultKind::Exception);
    EXPECT_EQ(art.GetArtType(Handle(path), &type), kHostInternalErr);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(art.GetArtType(Handle(path), &type), 0);
    EXPECT_EQ(type, kHostPathArt);
    EXPECT_EQ(Faults::Calls("GetArtType"), 2u);
    EXPECT_EQ(Faults::Calls("GetArtBounds"), 3u);
}

TEST_F(OperationGateTest, TheCallIsCountedAndTheFaultReturnedBeforeAnyArgumentIsLookedAt) {
    Faults::FailOperation("GetArtType", 1, kInjected);
    EXPECT_EQ(art.GetArtType(reinterpret_cast<HostArt>(0x1234), nullptr), kInjected);
    EXPECT_EQ(art.GetArtType(nullptr, nullptr), kHostBadParameterErr);
    EXPECT_EQ(Faults::Calls("GetArtType"), 2u);

    // The document comes before the arguments, the arguments left to right.
    host.documents().Close();
    HostLayer out = nullptr;
    EXPECT_EQ(layers.GetNthLayer(0, nullptr), kHostNoDocumentErr);
    Faults::FailOperation("GetNthLayer", 1, kInjected);
    EXPECT_EQ(layers.GetNthLayer(0, &out), kInjected);
    EXPECT_EQ(layers.GetNthLayer(0, &out), kHostNoDocumentErr);
}

TEST_F(OperationGateTest, ArgumentsAreBoundLeftToRightEachWithItsOwnCode) {
    int32_t count = 0;
    const HostPathSuite& paths = host::PathSuite();
    EXPECT_EQ(paths.GetPathSegmentCount(Handle(group), nullptr), kHostWrongArtTypeErr)
        << "the art is looked at before the out pointer";
    EXPECT_EQ(paths.GetPathSegmentCount(Handle(path), nullptr), kHostBadParameterErr);
    EXPECT_EQ(paths.GetPathSegmentCount(Handle(path), &count), 0);

    // A null reference is allowed where the operation takes one; a dead one
    // is not.
    HostLayer added = nullptr;
    EXPECT_EQ(layers.InsertLayer(nullptr, kHostPlaceAboveAll, &added), 0);
    EXPECT_NE(added, nullptr);
    HostArt made = nullptr;
    EXPECT_EQ(art.NewArt(kHostPathArt, kHostPlaceInsideOnTop, Handle(group), &made), 0);
    EXPECT_EQ(art.DisposeArt(made), 0);
    EXPECT_EQ(art.NewArt(kHostPathArt, kHostPlaceAbove, made, &made), kHostBadParameterErr);
    EXPECT_EQ(art.DisposeArt(made), kHostBadParameterErr);
}

TEST_F(OperationGateTest, APreferenceKeyIsLoggedEvenWhenTheCallIsRefused) {
    const HostPreferenceSuite& prefs = host::PreferenceSuite();
    Faults::KeepCallLog();
    EXPECT_EQ(prefs.GetIntegerPreference("Section", "NL_Kind", nullptr), kHostBadParameterErr);
    EXPECT_EQ(prefs.PutRealPreference("Section", nullptr, 1.5), kHostBadParameterErr);
    Faults::FailOperation("PutBooleanPreference", 1, kInjected);
    EXPECT_EQ(prefs.PutBooleanPreference("Section", "MS_Mode", 1), kInjected);
    EXPECT_EQ(Faults::CallLog(),
              (std::vector<std::string>{"GetIntegerPreference NL_Kind", "PutRealPreference", "PutBooleanPreference"}));
}

// A fault fires on its call alone, or on every call from it on; logging,
// turned on or off around it, neither moves nor spends it.
TEST_F(OperationGateTest, AFaultFiresOnItsOwnCallWhateverTheLogging) {
    int32_t type = 0;
    auto calls = [&](int n) {
        std::string results;
        for (int i = 0; i < n; ++i) results += art.GetArtType(Handle(path), &type) == kInjected ? 'F' : '.';
        return results;
    };
    Faults::FailOperation("GetArtType", 3, kInjected);
    EXPECT_EQ(calls(6), "..F...");
    Faults::FailOperation("GetArtType", 2, kInjected, true);
    EXPECT_EQ(calls(4), ".FFF");

    Faults::FailOperation("GetArtType", 3, kInjected);
    EXPECT_EQ(calls(1), ".");
    Faults::KeepCallLog();
    EXPECT_EQ(calls(3), ".F.");
    EXPECT_EQ(Faults::CallLog().size(), 3u);
    Faults::FailOperation("GetArtType", 2, kInjected);
    EXPECT_EQ(calls(3), ".F.");
    EXPECT_EQ(Faults::CallLog().size(), 6u);
    Faults::Reset();
    Faults::FailOperation("GetArtType", 2, kInjected);
    EXPECT_EQ(calls(3), ".F.") << "the log is off again";
    EXPECT_TRUE(Faults::CallLog().empty());
    Faults::FailOperation("GetArtType", 2, kInjected);
    Faults::Reset();
    EXPECT_EQ(calls(3), "...") << "a reset disarms";
    EXPECT_EQ(Faults::Calls("GetArtType"), 3u);
}

// Every entry of the matrix, and the line scale, is checked: one that is
// not a finite number refuses the whole call and leaves the art as it was.
TEST_F(OperationGateTest, ATransformationWithAnEntryThatIsNotFiniteChangesNothing) {
    const HostPoint corner{3, 4};
    path->path()->segments.push_back({corner, corner, corner, 1});
    const HostTransformArtSuite& transform = host::TransformArtSuite();
    const double bad[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
    for (double HostMatrix::*entry :
         {&HostMatrix::a, &HostMatrix::b, &HostMatrix::c, &HostMatrix::d, &HostMatrix::tx, &HostMatrix::ty}) {
        for (double value : bad) {
            HostMatrix m{1, 0, 0, 1, 0, 0};
            m.*entry = value;
            EXPECT_EQ(transform.TransformArt(Handle(path), &m, 1.0, kHostTransformObjects), kHostBadParameterErr)
                << value;
        }
    }
    const HostMatrix identity{1, 0, 0, 1, 0, 0};
    for (double value : bad)
        EXPECT_EQ(transform.TransformArt(Handle(path), &identity, value, kHostTransformObjects), kHostBadParameterErr);
    EXPECT_EQ(path->path()->segments[0].p.x, 3);
    EXPECT_EQ(path->path()->segments[0].p.y, 4);

    // Huge, negative zero and tiny entries are numbers like any other.
    const HostMatrix odd{1e300, -0.0, -0.0, 4.9e-324, -0.0, 1};
    EXPECT_EQ(transform.TransformArt(Handle(path), &odd, 1.0, kHostTransformObjects), 0);
    EXPECT_EQ(path->path()->segments[0].p.x, 3e300);
    EXPECT_EQ(path->path()->segments[0].p.y, 1);
}

TEST_F(OperationGateTest, AQueryIsCountedButNeverFailed) {
    const HostUserInterfaceThemeSuite& theme = host::UserInterfaceThemeSuite();
    host.theme().SetBrightness(0.2);
    Faults::FailOperation("IsDarkTheme", 1, kInjected);
    EXPECT_EQ(theme.IsDarkTheme(), 1);
    Faults::ThrowInOperation("IsDarkTheme", 1, FaultKind::OutOfMemory);
    EXPECT_EQ(theme.IsDarkTheme(), 0) << "an exception answers 0";
    EXPECT_EQ(theme.IsDarkTheme(), 1);
    EXPECT_EQ(Faults::Calls("IsDarkTheme"), 3u);
}

// An operation is named after its body, after the suite's namespace and the
// body's name for the text engine, or by the table where the body bears
// another name; the name counts its calls and arms its faults.
TEST_F(OperationGateTest, EveryOperationIsCountedAndFailedUnderItsOwnName) {
    HostArt sibling = nullptr;
    EXPECT_EQ(art.GetArtSibling(Handle(path), &sibling), 0);
    EXPECT_EQ(sibling, nullptr) << "the path is the layer's last object";
    Faults::FailOperation("GetArtPriorSibling", 1, kInjected);
    EXPECT_EQ(art.GetArtPriorSibling(Handle(path), &sibling), kInjected);
    EXPECT_EQ(art.GetArtSibling(Handle(group), &sibling), 0) << "one body, another operation, another fault";
    EXPECT_EQ(sibling, Handle(path));

    const HostDocumentSuite& documents = host::DocumentSuite();
    Faults::FailOperation("SyncDocument", 1, kInjected);
    EXPECT_EQ(documents.RedrawDocument(), 0);
    EXPECT_EQ(documents.SyncDocument(), kInjected);

    const HostATETextRangeSuite& ranges = host::ATETextRangeSuite();
    int32_t start = 0;
    Faults::FailOperation("ATETextRange.GetStart", 1, kInjected);
    EXPECT_EQ(ranges.GetStart(nullptr, &start), kInjected);
    EXPECT_EQ(ranges.GetEnd(nullptr, &start), kHostStaleTextRefErr);
    EXPECT_EQ(ranges.ref.Release(nullptr), kHostStaleTextRefErr);

    EXPECT_EQ(host::PathfinderSuite().DoIntersectEffect(nullptr, nullptr), kHostUnimplementedErr);

    const std::vector<std::pair<std::string, uint64_t>> expected = {
        {"ATETextRange.GetEnd", 1}, {"ATETextRange.GetStart", 1}, {"GetArtPriorSibling", 1}, {"GetArtSibling", 2},
        {"RedrawDocument", 1},      {"SyncDocument", 1},          {"TextEngineRelease", 1}};
    EXPECT_EQ(Faults::AllCalls(), expected) << "an effect that is not served counts no calls";
}

TEST_F(OperationGateTest, AcquiringASuiteTurnsExceptionsIntoCodesToo) {
    const void* table = nullptr;
    Faults::ThrowInOperation("Acquire:AI Art Suite", 1, FaultKind::OutOfMemory);
    EXPECT_EQ(host::BasicSuite()->AcquireSuite("AI Art Suite", 20, &table), kHostOutOfMemoryErr);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host::BasicSuite()->AcquireSuite("AI Art Suite", 20, &table), 0);
    EXPECT_EQ(host::BasicSuite()->ReleaseSuite("AI Art Suite", 20), 0);
}

// Through the real plug-in: an exception inside the host ends the command
// with the code, as any host failure does, and nothing is left behind.
class OperationGatePluginTest : public PluginTest {};

TEST_F(OperationGatePluginTest, AnExceptionInsideTheHostEndsACommandWithItsCode) {
    host::Art* image = AddPlaced(doc(), layer->group(), {0.5, 0, 0, -0.5, 10, 10}, 40, 20);
    Select(doc(), image);
    Faults::ThrowInOperation("SetPlacedMatrix", 1, FaultKind::OutOfMemory);
    EXPECT_EQ(Choose("配置画像サイズをリセット"), kHostOutOfMemoryErr);
    EXPECT_EQ(std::get<host::PlacedData>(image->data).matrix.a, 0.5);
    Faults::ThrowInOperation("SetPlacedMatrix", 1, FaultKind::Exception);
    EXPECT_EQ(Choose("配置画像サイズをリセット"), kHostInternalErr);
    EXPECT_EQ(Choose("配置画像サイズをリセット"), 0);
    EXPECT_EQ(std::get<host::PlacedData>(image->data).matrix.a, 1);
}

}  // namespace
}  // namespace orbalis::testing
