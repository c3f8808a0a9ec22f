// The text engine, the Text Frame suite and the image, tag and matrix suites,
// reached the way the plug-in reaches them: through the suite pointers and
// the ATE wrappers.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "frame/TextEngine.h"
#include "host/model/Geometry.h"
#include "host/suites/SuiteTables.h"
#include "tests/support/PluginHarness.h"
#include "tests/support/TextFixtures.h"

namespace orbalis::testing {
namespace {

using host::Art;

class TextEngineSuitesTest : public InProcessTest {
protected:
    Art* Label(const HostMatrix& m, std::vector<host::TextRun> runs) {
        return AddPointText(doc(), layer->group(), m, std::move(runs));
    }
    static HostArt H(Art* art) { return host::Document::toHandle(art); }
    static ATE::ITextFrame FrameOf(Art* art) {
        HostTextRef ref = nullptr;
        EXPECT_EQ(sTextFrame->GetTextFrame(H(art), &ref), 0);
        return ATE::ITextFrame(ref);
    }
    static ATE::ITextRange RangeOf(Art* art) {
        HostTextRef ref = nullptr;
        EXPECT_EQ(sTextFrame->GetTextRange(H(art), &ref), 0);
        return ATE::ITextRange(ref);
    }
    static std::vector<std::string> Runs(const ATE::ITextRange& range) {
        std::vector<std::string> out;
        for (auto runs = range.GetTextRuns(); !runs.IsDone(); runs.Next()) out.push_back(runs.Item().GetContents());
        return out;
    }
};

TEST_F(TextEngineSuitesTest, FrameMatricesLiveInTheMirroredSpaceAndConvertBackToThePage) {
    // A label turned 30 degrees counter-clockwise on the page.
    const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
    Art* label = Label({c, s, -s, c, 100, 200}, {Chars("Tokyo")});
    const HostMatrix engine = FrameOf(label).GetMatrix();
    EXPECT_TRUE(NearMatrix(engine, {c, -s, s, c, 100, -200}, 0)) << "clockwise in the text engine";
    double angle = 0;
    ASSERT_EQ(sRealMath->MatrixGetRotation(&engine, &angle), 0);
    EXPECT_NEAR(angle, -std::numbers::pi / 6, 1e-15) << "the angle that turns the label upright";
    HostMatrix page{};
    ASSERT_EQ(sHardSoft->ConvertMatrixToPage(&engine, &page), 0);
    EXPECT_TRUE(NearMatrix(page, TextOf(label).matrix, 0));
    HostMatrix back{};
    ASSERT_EQ(sHardSoft->ConvertMatrixToEngine(&page, &back), 0);
    EXPECT_TRUE(NearMatrix(back, engine, 0));
    EXPECT_EQ(FrameOf(label).GetType(), kHostPointText);
}

TEST_F(TextEngineSuitesTest, ReleasedAndStaleReferencesAreRefused) {
    Art* label = Label(Turned(0), {Chars("abc")});
    HostTextRef ref = nullptr;
    ASSERT_EQ(sTextFrame->GetTextRange(H(label), &ref), 0);
    EXPECT_EQ(host::LiveTextEngineObjects(), 1);
    ASSERT_EQ(sATETextRange->Release(ref), 0);
    EXPECT_EQ(host::LiveTextEngineObjects(), 0);
    const auto& range = ATE::TableOf<HostATETextRangeSuite, &sATETextRange>();
    int32_t size = -1;
    EXPECT_EQ(range.GetSize(ref, &size), kHostStaleTextRefErr);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(sATETextRange->Release(ref), kHostStaleTextRefErr) << "no double release";
    EXPECT_EQ(sATETextRange->AddRef(ref), kHostStaleTextRefErr);

    // The slot is reused with a new generation: the old reference stays dead.
    HostTextRef reused = nullptr;
    ASSERT_EQ(sTextFrame->GetTextRange(H(label), &reused), 0);
    EXPECT_NE(reused, ref);
    EXPECT_EQ(range.GetSize(ref, &size), kHostStaleTextRefErr);
    ASSERT_EQ(range.GetSize(reused, &size), 0);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(range.GetSize(reinterpret_cast<HostTextRef>(uintptr_t{0x7777}), &size), kHostStaleTextRefErr);
    EXPECT_EQ(range.GetSize(nullptr, &size), kHostStaleTextRefErr);
    // A frame is not a range.
    HostTextRef frame = nullptr;
    ASSERT_EQ(sTextFrame->GetTextFrame(H(label), &frame), 0);
    EXPECT_EQ(range.GetSize(frame, &size), kHostStaleTextRefErr);
    sATETextFrame->Release(frame);
    sATETextRange->Release(reused);
}

TEST_F(TextEngineSuitesTest, ClonesStayIntactWhileTheTableGrows) {
    ATE::ICharFeatures original = ATE::ICharFeatures::New();
    original.SetFontSize(7.5);
    original.SetFont("IPAGothic");
    std::vector<ATE::ICharFeatures> clones;
    for (int i = 0; i < 300; ++i) clones.push_back((i % 2 ? clones.back() : original).Clone());
    bool assigned = false;
    for (const auto& clone : clones) {
        ASSERT_EQ(clone.GetFontSize(&assigned), 7.5);
        ASSERT_TRUE(assigned);
    }
    EXPECT_EQ(clones.back().GetFont(), "IPAGothic");
    EXPECT_EQ(host::LiveTextEngineObjects(), 301);
    clones.clear();
    EXPECT_EQ(host::LiveTextEngineObjects(), 1);
}

TEST_F(TextEngineSuitesTest, AReferenceOutlivingItsTextIsRefusedNotFollowed) {
    Art* label = Label(Turned(0), {Chars("gone")});
    ATE::ITextRange range = RangeOf(label);
    ASSERT_EQ(doc().disposeArt(label), 0);
    EXPECT_THROW(range.GetSize(), ATE::Exception);
}

TEST_F(TextEngineSuitesTest, RunsFollowTheCharacterFeaturesAndLocalFeaturesSplitAndJoinThem) {
    Art* label = Label(Turned(0), {Chars("Ab", 12), Chars("漢字", 10, 20)});
    ATE::ITextRange all = RangeOf(label);
    EXPECT_EQ(all.GetSize(), 4);
    EXPECT_EQ(Runs(all), (std::vector<std::string>{"Ab", "漢字"}));

    bool assigned = true;
    ATE::ICharFeatures mixed = all.GetUniqueCharFeatures();
    mixed.GetFontSize(&assigned);
    EXPECT_FALSE(assigned) << "the runs differ in size";
    EXPECT_EQ(mixed.GetHorizontalScale(&assigned), 1);
    EXPECT_TRUE(assigned);

    {
        auto runs = all.GetTextRuns();
        ATE::ITextRange first = runs.Item();
        EXPECT_EQ(first.GetStart(), 0);
        EXPECT_EQ(first.GetEnd(), 2);
    }
    ATE::ICharFeatures size = ATE::ICharFeatures::New();
    size.SetFontSize(18);
    {
        auto runs = all.GetTextRuns();
        runs.Next();
        runs.Item().SetLocalCharFeatures(size);
    }
    EXPECT_EQ(Runs(all), (std::vector<std::string>{"Ab", "漢字"}));
    EXPECT_EQ(TextOf(label).runs[1].features.fontSize, 18);
    EXPECT_EQ(TextOf(label).runs[1].features.rotation, 20) << "unassigned features stay";

    ATE::ICharFeatures twelve = ATE::ICharFeatures::New();
    twelve.SetFontSize(12);
    twelve.SetCharacterRotation(0);
    for (auto runs = all.GetTextRuns(); !runs.IsDone(); runs.Next()) runs.Item().SetLocalCharFeatures(twelve);
    EXPECT_EQ(Runs(all), (std::vector<std::string>{"Ab漢字"})) << "alike runs are joined";
    EXPECT_THROW(twelve.SetFontSize(-3), ATE::Exception) << "a negative size would turn glyphs over";
    EXPECT_THROW(twelve.SetHorizontalScale(0), ATE::Exception);
}

TEST_F(TextEngineSuitesTest, AreaTextKeepsItsOverflowOutOfTheFramesOwnRange) {
    // A frame 24 pt high: two 10 pt lines fit, the 14 pt lines do not.
    Art* area =
        AddFramedText(doc(), layer->group(), kHostAreaText, {1, 0, 0, 1, 0, 12},
                      {{0, 20}, {100, 20}, {100, -4}, {0, -4}}, {Chars("one\rtwo\r", 10), Chars("three\rfour", 14)});
    ATE::ITextFrame frame = FrameOf(area);
    EXPECT_EQ(frame.GetTextRange(false).GetContents(), "one\rtwo\r");
    EXPECT_EQ(frame.GetTextRange(true).GetContents(), "one\rtwo\rthree\rfour");
    EXPECT_EQ(frame.GetStory().GetSize(), 18);
    EXPECT_EQ(frame.GetStory().GetTextRange().GetSize(), 18);
    EXPECT_EQ(frame.GetType(), kHostAreaText);
}

TEST_F(TextEngineSuitesTest, ParagraphFeaturesAndInsertedText) {
    Art* label = Label(Turned(0), {Chars("first\rsecond", 12)});
    ATE::ITextRange all = RangeOf(label);
    ATE::IParaFeatures centre = ATE::IParaFeatures::New();
    centre.SetJustification(kHostJustifyCenter);
    all.SetLocalParaFeatures(centre);
    EXPECT_EQ(TextOf(label).paragraphs,
              (std::vector<host::Justification>{host::Justification::Center, host::Justification::Center}));
    bool assigned = false;
    EXPECT_EQ(all.GetUniqueParaFeatures().GetJustification(&assigned), kHostJustifyCenter);
    EXPECT_TRUE(assigned);
    EXPECT_THROW(centre.SetJustification(7), ATE::Exception);

    all.InsertAfter("!\r三");
    EXPECT_EQ(all.GetContents(), "first\rsecond!\r三") << "the range grows to hold the insertion";
    EXPECT_EQ(TextOf(label).runs.size(), 1u) << "inserted text takes the features before it";
    EXPECT_EQ(TextOf(label).paragraphs.size(), 3u);
    EXPECT_EQ(TextOf(label).paragraphs[2], host::Justification::Center);
}

TEST_F(TextEngineSuitesTest, NewPointTextStartsAtItsAnchorWithTheHostsFeatures) {
    HostArt made = nullptr;
    ASSERT_EQ(sTextFrame->NewPointText(kHostPlaceInsideOnTop, H(layer->group()), kHostVerticalText, {30, 40}, &made),
              0);
    HostPoint anchor{};
    ASSERT_EQ(sTextFrame->GetPointTextAnchor(made, &anchor), 0);
    EXPECT_TRUE(NearPoint(anchor, {30, 40}, 0));
    int32_t orientation = -1;
    ASSERT_EQ(sTextFrame->GetTextOrientation(made, &orientation), 0);
    EXPECT_EQ(orientation, kHostVerticalText);
    ATE::ITextRange range(nullptr);
    {
        HostTextRef ref = nullptr;
        ASSERT_EQ(sTextFrame->GetTextRange(made, &ref), 0);
        range = ATE::ITextRange(ref);
    }
    range.InsertAfter("県");
    Art* art = host::Document::fromHandle(made);
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(TextOf(art).runs.front().features.fontSize, 12);
    HostPathStyle style{};
    style = range.GetUniqueCharFeatures().GetPathStyle(style);
    EXPECT_TRUE(style.fillPaint);
    EXPECT_EQ(style.fill.color.kind, kHostGrayColor);
    EXPECT_EQ(style.fill.color.c.gray.gray, 1) << "black";
    EXPECT_EQ(sTextFrame->NewPointText(kHostPlaceInsideOnTop, H(layer->group()), 3, {0, 0}, &made),
              kHostBadParameterErr);
}

TEST_F(TextEngineSuitesTest, PaintConvertsBetweenCharacterFeaturesAndAPathStyle) {
    Art* label = Label(Turned(0), {Chars("red", 12)});
    HostPathStyle style{};
    style.fillPaint = 1;
    style.fill.color.kind = kHostFourColor;
    style.fill.color.c.four = {0, 1, 1, 0};
    style.strokePaint = 1;
    style.stroke.color.kind = kHostGrayColor;
    style.stroke.color.c.gray.gray = 0.5;
    style.stroke.width = 0.25;
    ATE::ICharFeatures paint = ATE::ICharFeatures::New();
    paint.SetPathStyle(style);
    RangeOf(label).SetLocalCharFeatures(paint);
    const host::CharFeatures& f = TextOf(label).runs[0].features;
    EXPECT_EQ(f.fill.kind, kHostFourColor);
    EXPECT_EQ(f.fill.c.four.magenta, 1);
    EXPECT_TRUE(f.strokePaint);
    EXPECT_EQ(f.strokeWidth, 0.25);
    EXPECT_EQ(f.fontSize, 12);
    HostPathStyle back{};
    back = RangeOf(label).GetUniqueCharFeatures().GetPathStyle(back);
    EXPECT_EQ(back.fill.color.c.four.yellow, 1);
    EXPECT_EQ(back.stroke.width, 0.25);
}

TEST_F(TextEngineSuitesTest, TheFramePathObjectIsTheTextsPath) {
    Art* onPath =
        AddFramedText(doc(), layer->group(), kHostPathText, Turned(0), {{0, 0}, {50, 0}, {100, 20}}, {Chars("road")});
    HostArt path = nullptr;
    ASSERT_EQ(sTextFrame->GetTextPathObject(H(onPath), &path), 0);
    int32_t count = 0;
    ASSERT_EQ(sPath->GetPathSegmentCount(path, &count), 0);
    ASSERT_EQ(count, 3);
    HostPathSegment end{};
    ASSERT_EQ(sPath->GetPathSegments(path, 2, 1, &end), 0);
    end.p = end.in = end.out = {100, 60};
    ASSERT_EQ(sPath->SetPathSegments(path, 2, 1, &end), 0);
    EXPECT_TRUE(NearPoint(TextOf(onPath).path[2].p, {100, 60}, 0));
    EXPECT_NEAR(BoundsOf(doc(), onPath).top, 60, 1e-9) << "the text's bounds follow its path";

    const HostMatrix move = host::Translation(10, 0);
    ASSERT_EQ(sTransformArt->TransformArt(H(onPath), &move, 1, kHostTransformObjects), 0);
    ASSERT_EQ(sPath->GetPathSegments(path, 0, 1, &end), 0);
    EXPECT_TRUE(NearPoint(end.p, {10, 0}, 0)) << "moving the text moves its path object";
    HostArt again = nullptr;
    ASSERT_EQ(sTextFrame->GetTextPathObject(H(onPath), &again), 0);
    EXPECT_EQ(again, path);

    Art* point = Label(Turned(0), {Chars("p")});
    EXPECT_EQ(sTextFrame->GetTextPathObject(H(point), &again), kHostWrongArtTypeErr);
    HostPoint anchor{};
    EXPECT_EQ(sTextFrame->GetPointTextAnchor(H(onPath), &anchor), kHostWrongArtTypeErr)
        << "only point text has an anchor";
    ASSERT_EQ(doc().disposeArt(onPath), 0);
    EXPECT_EQ(sPath->GetPathSegmentCount(path, &count), kHostBadParameterErr) << "the path object goes with its text";
}

TEST_F(TextEngineSuitesTest, TagsPlacedAndRasterMatrices) {
    Art* image = AddPlaced(doc(), layer->group(), {2, 0, 0, -2, 5, 5}, 30, 20);
    ASSERT_EQ(sTag->SetTag(H(image), "BBAccumRotation", "0.5"), 0);
    ASSERT_EQ(sTag->SetTag(H(image), "note", "kept"), 0);
    int32_t count = 0;
    ASSERT_EQ(sTag->CountTags(H(image), &count), 0);
    EXPECT_EQ(count, 2);
    const char* name = nullptr;
    ASSERT_EQ(sTag->GetNthTag(H(image), 1, &name), 0);
    EXPECT_STREQ(name, "note");
    EXPECT_EQ(sTag->GetNthTag(H(image), 2, &name), kHostIndexErr);
    ASSERT_EQ(sTag->RemoveTag(H(image), "BBAccumRotation"), 0);
    EXPECT_EQ(sTag->RemoveTag(H(image), "BBAccumRotation"), kHostNotFoundErr);
    const char* value = nullptr;
    ASSERT_EQ(sTag->GetTag(H(image), "note", &value), 0);
    EXPECT_STREQ(value, "kept");

    HostMatrix m{};
    ASSERT_EQ(sPlaced->GetPlacedMatrix(H(image), &m), 0);
    EXPECT_TRUE(NearMatrix(m, {2, 0, 0, -2, 5, 5}, 0));
    HostRect box{};
    ASSERT_EQ(sPlaced->GetPlacedBoundingBox(H(image), &box), 0);
    EXPECT_EQ(box.right, 30);
    const HostMatrix bad{std::nan(""), 0, 0, 1, 0, 0};
    EXPECT_EQ(sPlaced->SetPlacedMatrix(H(image), &bad), kHostBadParameterErr);
    EXPECT_EQ(sRaster->GetRasterMatrix(H(image), &m), kHostWrongArtTypeErr);

    Art* raster = AddRaster(doc(), layer->group(), {1, 0, 0, 1, 0, 0}, 8, 4);
    const HostMatrix scaled{3, 0, 0, 3, 1, 2};
    ASSERT_EQ(sRaster->SetRasterMatrix(H(raster), &scaled), 0);
    EXPECT_NEAR(BoundsOf(doc(), raster).right, 25, 1e-9) << "bounds follow the new matrix";
    int32_t w = 0, h = 0;
    ASSERT_EQ(sRaster->GetRasterSize(H(raster), &w, &h), 0);
    EXPECT_EQ(w * 10 + h, 84);
    EXPECT_EQ(sDocument->SyncDocument(), 0);
    EXPECT_EQ(sDocument->RedrawDocument(), 0);
}

TEST_F(TextEngineSuitesTest, MatrixInversionReportsASingularMatrix) {
    const HostMatrix flat{1, 2, 2, 4, 5, 6};
    HostMatrix inverse{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(sRealMath->MatrixInvert(&flat, &inverse), kHostSingularMatrixErr);
    const HostMatrix m = host::Concat(HostMatrix{2, 0, 0.5, 1, 0, 0}, Turned(20, 3, 4));
    ASSERT_EQ(sRealMath->MatrixInvert(&m, &inverse), 0);
    EXPECT_TRUE(NearMatrix(host::Concat(m, inverse), {1, 0, 0, 1, 0, 0}, 1e-12));
}

TEST_F(TextEngineSuitesTest, TextEngineFailuresReachTheWrappersAsExceptions) {
    Art* label = Label(Turned(0), {Chars("ab")});
    ATE::ITextRange range = RangeOf(label);
    host::Faults::FailOperation("ATETextRange.GetTextRuns", 1, HOST_FOURCC('A', 'T', 'E', '!'));
    try {
        range.GetTextRuns();
        ADD_FAILURE() << "no exception";
    } catch (const ATE::Exception& e) {
        EXPECT_EQ(e.code, HOST_FOURCC('A', 'T', 'E', '!'));
    }
    EXPECT_EQ(Runs(range), (std::vector<std::string>{"ab"})) << "the next call works again";
}

}  // namespace
}  // namespace orbalis::testing
