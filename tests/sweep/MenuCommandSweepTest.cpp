// Every menu command, swept: each host operation it calls fails in turn at
// each of its calls, on a small document that takes the command through all
// its branches.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "host/model/Geometry.h"
#include "sdk/suites/TextSuites.h"
#include "tests/support/DocumentBuilder.h"
#include "tests/support/TextFixtures.h"
#include "tests/sweep/Sweep.h"

namespace orbalis::testing::sweep {
namespace {

namespace fs = std::filesystem;
using host::Art;
using host::Document;
using host::Layer;

Art* Selected(Document& doc, Art* art) {
    Select(doc, art);
    return art;
}

Layer* Sublayer(Document& doc, Layer* parent, const std::string& title) {
    Layer* layer = nullptr;
    EXPECT_EQ(doc.insertLayer(parent, kHostPlaceInsideOnTop, &layer), 0);
    if (layer) layer->title = title;
    return layer;
}

Art* Guide(Document& doc, Art* container, double y) {
    Art* guide = AddPolygon(doc, container, {{0, y}, {200, y}}, false, StrokedStyle());
    guide->path()->guide = true;
    return guide;
}

// A little map: plain, grouped, compound, locked and hidden shapes, a guide,
// point, area and on-path text, a symbol, an image and legacy text.
struct Map {
    Art *square, *group, *inGroup, *compound, *guide, *label, *area, *onPath, *symbol, *placed;
};

Map SmallMap(Document& doc, Layer* layer) {
    Art* top = layer->group();
    Map m{};
    m.square = AddRect(doc, top, 100, 100, 10, 10);
    m.group = AddGroup(doc, top);
    m.inGroup = AddRect(doc, m.group, 200, 0, 5, 5);
    AddRect(doc, m.group, 210, 0, 5, 5);
    m.compound = AddCompound(doc, top);
    AddRect(doc, m.compound, 0, 200, 50, 50);
    AddRect(doc, m.compound, 10, 210, 10, 10);
    Lock(doc, AddRect(doc, top, 50, 50, 4, 4));
    Hide(doc, AddRect(doc, top, 60, 60, 4, 4));
    m.guide = Guide(doc, top, 50);
    m.label = AddPointText(doc, top, {1, 0, 0, 1, 180, 90}, {Chars("町", 12)});
    m.area = AddFramedText(doc, top, kHostAreaText, {1, 0, 0, 1, 0, 100}, {{0, 0}, {200, 0}, {200, 100}, {0, 100}},
                           {Chars("村", 10)});
    m.onPath = AddFramedText(doc, top, kHostPathText, {1, 0, 0, 1, 0, 0}, {{0, 0}, {40, 10}, {80, 0}}, {Chars("道")});
    Art* star = doc.newSymbolDefinition("star");
    AddRect(doc, star, -5, -5, 10, 10);
    m.symbol = AddArt(doc, top, kHostSymbolArt);
    std::get<host::SymbolData>(m.symbol->data) = {"star", {1, 0, 0, 1, 180, 90}};
    m.placed = AddPlaced(doc, top, {0.5, 0, 0, 0.5, 30, 30}, 40, 20);
    AddArt(doc, top, kHostLegacyTextArt)->data = host::ForeignData{"", "", {1, 0, 0, 1, 20, 20}, true, {0, 10, 10, 0}};
    // A hidden and a locked layer, which the commands that walk layers pass by.
    Layer* hidden = AddLayer(doc, "hidden", layer);
    AddRect(doc, hidden->group(), 400, 0, 20, 10);
    hidden->visible = false;
    Layer* locked = AddLayer(doc, "locked", hidden);
    AddRect(doc, locked->group(), 10, 10, 5, 5);
    locked->editable = false;
    return m;
}

// ---------------------------------------------------------------- geometry

TEST(MenuCommandSweep, FastMove) {
    RunSweep({.name = "fast move",
              .item = "高速移動",
              .build =
                  [](Document& doc, Layer* layer) {
                      SmallMap(doc, layer);
                      Selected(doc, AddPolygon(doc, layer->group(), {{0, 0}, {3, 7}, {10, 5}}, false, StrokedStyle()));
                  },
              .answers = {{"ガイドを無視しますか？", true}, {"移動完了後に、移動先を示すパスを削除しますか？", true}},
              .rules = {// A layer whose flags cannot be read is left, and unreadable
                        // segments of the path end the run quietly.
                        {"GetLayerVisible", Outcome::Clean},
                        {"GetLayerEditable", Outcome::Clean},
                        {"GetPathSegmentCount", Outcome::Clean},
                        {"GetPathSegments", Outcome::Clean}}});
}

TEST(MenuCommandSweep, FastMoveWithGuidesKeepingThePath) {
    RunSweep({.name = "fast move, guides moved, path kept",
              .item = "高速移動",
              .build =
                  [](Document& doc, Layer* layer) {
                      SmallMap(doc, layer);
                      Layer* below = AddLayer(doc, "下", layer);
                      AddRect(doc, below->group(), 5, 5, 5, 5);
                      Guide(doc, below->group(), 80);
                      Selected(doc, AddPolygon(doc, below->group(), {{0, 0}, {10, 5}}, false, StrokedStyle()));
                  },
              .answers = {{"ガイドを無視しますか？", false}, {"移動完了後に、移動先を示すパスを削除しますか？", false}},
              .rules = {{"GetLayerVisible", Outcome::Clean},
                        {"GetLayerEditable", Outcome::Clean},
                        {"GetPathSegmentCount", Outcome::Clean},
                        {"GetPathSegments", Outcome::Clean}}});
}

TEST(MenuCommandSweep, MapScalingByScale) {
    RunSweep({.name = "map scaling by scale",
              .item = "地図拡大縮小...",
              .build = [](Document& doc, Layer* layer) { SmallMap(doc, layer); },
              .ui = "dialog 115; type 1074 25000; type 1090 50000; click 1",
              .rules = {// Filling from a layer reports no error: the layer
                        // counts as empty for the bounds.
                        {"NewArtSet", Outcome::Clean},
                        {"LayerArtSet", Outcome::Clean},
                        {"CountArtSet", Outcome::Clean}}});
}

TEST(MenuCommandSweep, MapScalingWithEveryOptionOnTheSelection) {
    RunSweep({.name = "map scaling, every option, selection only",
              .item = "地図拡大縮小...",
              .build =
                  [](Document& doc, Layer* layer) {
                      Map m = SmallMap(doc, layer);
                      for (Art* art : {m.square, m.inGroup, m.guide, m.label, m.area, m.symbol}) Select(doc, art);
                  },
              .ui = "dialog 115; click 1076; click 1070; type 1072 200; type 1073 50; click 1078; click 1080; "
                    "click 1079; click 1081; click 1082; click 1092; click 1"});
}

TEST(MenuCommandSweep, ScaleBarOnANewLayer) {
    RunSweep({.name = "scale bar on a new layer",
              .item = "スケールバー作成...",
              .build =
                  [](Document& doc, Layer* layer) {
                      doc.viewCenter = {300, 400};
                      Selected(doc, AddRect(doc, layer->group(), 0, 0, 10, 10));
                      doc.textFocus = true;
                  },
              .ui = "dialog 123; type 1093 50000; type 1094 2; click 1097; click 1",
              .rules = {// Reading the current layer and clearing the selection go on
                        // silently; a text-engine failure is handed back as the
                        // host code it carries.
                        {"GetCurrentLayer", Outcome::Clean},
                        {"GetLayerVisible", Outcome::Clean},
                        {"GetLayerEditable", Outcome::Clean},
                        {"HasTextFocus", Outcome::Clean},
                        {"EndTextFocus", Outcome::Clean},
                        {"CountLayers", Outcome::Clean},
                        {"GetNthLayer", Outcome::Clean},
                        {"LayerHasSelectedArt", Outcome::Clean},
                        {"DeselectArtOnLayer", Outcome::Clean},
                        {"ATETextRange.InsertAfter", Outcome::Code},
                        {"ATETextRange.GetUniqueCharFeatures", Outcome::Code},
                        {"ATETextRange.SetLocalCharFeatures", Outcome::Code},
                        {"ATETextRange.SetLocalParaFeatures", Outcome::Code},
                        {"ATEParaFeatures.Initialize", Outcome::Code},
                        {"ATEParaFeatures.SetJustification", Outcome::Code},
                        {"ATECharFeatures.SetFontSize", Outcome::Code},
                        {"ATEPaint.GetPathStyle", Outcome::Code},
                        {"ATEPaint.SetPathStyle", Outcome::Code}}});
}

TEST(MenuCommandSweep, ScaleBarOnTheCurrentLayer) {
    RunSweep({.name = "scale bar on the current layer",
              .item = "スケールバー作成...",
              .build =
                  [](Document& doc, Layer* layer) {
                      doc.viewCenter = {300, 400};
                      Selected(doc, AddRect(doc, layer->group(), 0, 0, 10, 10));
                  },
              .ui = "dialog 123; click 1096; type 1094 500; click 1070; click 1",
              .rules = {// Reading the current layer and clearing the selection go on
                        // silently; a text-engine failure is handed back as the
                        // host code it carries.
                        // Unread, the current layer counts as unusable: the new-layer
                        // box is disabled and the user's click on it fails (the
                        // dialog is cancelled); the later failure of taking it as
                        // the target is returned.
                        {"GetCurrentLayer#1", Outcome::Failed},
                        {"GetCurrentLayer#2", Outcome::Code},
                        {"GetLayerVisible", Outcome::Failed},
                        {"GetLayerEditable", Outcome::Failed},
                        {"HasTextFocus", Outcome::Clean},
                        {"EndTextFocus", Outcome::Clean},
                        {"CountLayers", Outcome::Clean},
                        {"GetNthLayer", Outcome::Clean},
                        {"LayerHasSelectedArt", Outcome::Clean},
                        {"DeselectArtOnLayer", Outcome::Clean},
                        {"ATETextRange.InsertAfter", Outcome::Code},
                        {"ATETextRange.GetUniqueCharFeatures", Outcome::Code},
                        {"ATETextRange.SetLocalCharFeatures", Outcome::Code},
                        {"ATETextRange.SetLocalParaFeatures", Outcome::Code},
                        {"ATEParaFeatures.Initialize", Outcome::Code},
                        {"ATEParaFeatures.SetJustification", Outcome::Code},
                        {"ATECharFeatures.SetFontSize", Outcome::Code},
                        {"ATEPaint.GetPathStyle", Outcome::Code},
                        {"ATEPaint.SetPathStyle", Outcome::Code}}});
}

TEST(MenuCommandSweep, ColourCoding) {
    RunSweep({.name = "colour coding",
              .item = "ポリゴン色分け",
              .build =
                  [](Document& doc, Layer* layer) {
                      // Three by three touching squares, one of them a
                      // compound path, and a shape touching none.
                      for (int row = 0; row < 3; ++row)
                          for (int col = 0; col < 3; ++col) {
                              if (row == 1 && col == 1) {
                                  Art* compound = AddCompound(doc, layer->group());
                                  AddRect(doc, compound, 10, 10, 10, 10);
                                  AddRect(doc, compound, 12, 12, 2, 2);
                              } else {
                                  AddRect(doc, layer->group(), col * 10.0, row * 10.0, 10, 10);
                              }
                          }
                      AddRect(doc, layer->group(), 100, 100, 5, 5);
                      AddPolygon(doc, layer->group(), {{0, 40}, {30, 40}}, false, StrokedStyle());
                      // A group node, painted path by path, above the grid.
                      Art* group = AddGroup(doc, layer->group());
                      AddRect(doc, group, 0, 30, 10, 10);
                      AddRect(doc, AddGroup(doc, group), 20, 30, 10, 10);
                  },
              .rules =
                  {// Steps of the pair test that go on with whatever the
                   // scratch layer holds, and the touching decision, which
                   // counts what it can read.
                   {"SetCurrentLayer", Outcome::Clean},
                   {"DuplicateArt", Outcome::Clean},
                   {"SetArtUserAttr", Outcome::Any},
                   {"SelectedArtSet", Outcome::Clean},
                   {"LayerArtSet", Outcome::Clean},
                   {"NewArtSet", Outcome::Clean},
                   {"CountArtSet", Outcome::Clean},
                   {"IndexArtSet", Outcome::Clean},
                   {"SetupPluginData", Outcome::Clean},
                   {"DoUniteEffect", Outcome::Clean},
                   // The progress display: the scan passes its failures on,
                   // the colour search does not.
                   {"SetProgressText", Outcome::Either},
                   {"UpdateProgress", Outcome::Either},
                   {"IsProgressCancelled", Outcome::Either},
                   // The closing alert.
                   {"MessageAlert", Outcome::Clean},
                   // Without a scratch layer the run goes on after an alert
                   // and fails at the first pair.
                   {"InsertLayer", Outcome::Failed},
                   // The scratch layer goes with the command object, whose
                   // destruction has no code to give.
                   {"DeleteLayer", Outcome::Clean},
                   // Painting a node fails with its own code.
                   {"SetPathStyle", Outcome::Any},
                   // Called both from the walk, which reports, and from the
                   // touching decision and the polygon test, which do not.
                   {"GetFirstArtOfLayer", Outcome::Any},
                   {"GetArtFirstChild", Outcome::Any},
                   {"GetArtSibling", Outcome::Any},
                   {"GetArtType", Outcome::Any},
                   {"GetPathClosed", Outcome::Any},
                   {"GetPathStyle", Outcome::Any}},
              // Painting a group node fails with 100, any other node with 200.
              .ownCodes = {100, 200}});
}

// ---------------------------------------------------------------- layers

void Layers(Document& doc, Layer* layer) {
    layer->title = "aa 1";
    Layer* second = AddLayer(doc, "ba 2", layer);
    Sublayer(doc, second, "a 2-1");
    Sublayer(doc, second, "b 2-2");
    AddLayer(doc, "c 3", second);
}

TEST(MenuCommandSweep, LayerNumbering) {
    RunSweep({.name = "layer numbering",
              .item = "レイヤー通し番号作成...",
              .build = Layers,
              .ui = "dialog 125; type 1126 10; type 1127 5; click 1108; click 1110; click 1",
              .rules = {// A text setting that cannot be read keeps its default.
                        {"NewString", Outcome::Either}}});
}

TEST(MenuCommandSweep, LayerTitleReplacement) {
    RunSweep({.name = "layer title replacement",
              .item = "レイヤー名置換...",
              .build = Layers,
              .ui = "dialog 126; type 1105 a; type 1106 ア; click 1",
              .rules = {// A text setting that cannot be read keeps its default.
                        {"NewString", Outcome::Either}}});
}

// A folder of its own for the layer-list files of one test.
fs::path Folder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("orbalis-sweep-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(MenuCommandSweep, LayerListSave) {
    const fs::path folder = Folder("save");
    const fs::path file = folder / "レイヤー.txt";
    RunSweep({.name = "layer-list save",
              .item = "レイヤー名リストをファイルに保存...",
              .build = Layers,
              .ui = "dialog save; select 1131 2; file " + file.string(),
              .answers = {{"指定されたファイルは既に存在します。上書きしてよろしいですか？", true}},
              .prepare = [file] { std::ofstream(file, std::ios::binary) << "old\r\n"; },
              .rules = {// Without the plug-in's module or the host's window no
                        // dialog is shown: the runner returns the host's code, the
                        // file dialog's chooser "not chosen" (cancelled).
                        {"GetPluginFileSpecification", Outcome::Failed},
                        {"GetPlatformPath", Outcome::Failed},
                        {"GetPlatformAppWindow", Outcome::Failed},
                        // The file name offered comes from the document's file when
                        // it can be read; the context is pushed when it can be.
                        {"GetDocumentFileSpecification", Outcome::Either},
                        {"NewFilePath", Outcome::Either},
                        {"GetAsString", Outcome::Either},
                        {"Length", Outcome::Either},
                        {"NewString", Outcome::Either},
                        {"PushAppContext", Outcome::Clean}}});
    fs::remove_all(folder);
}

TEST(MenuCommandSweep, LayerListLoad) {
    const fs::path folder = Folder("load");
    const fs::path file = folder / "list.txt";
    RunSweep({.name = "layer-list load",
              .item = "レイヤー名をファイルから設定...",
              .build =
                  [file](Document& doc, Layer* layer) {
                      Layers(doc, layer);
                      // The document's layer tree with new titles, in UTF-8.
                      std::ofstream list(file, std::ios::binary);
                      list << "\xEF\xBB\xBF";
                      int n = 0;
                      for (Layer* l : doc.allLayers()) {
                          for (Layer* p = doc.parentLayer(l); p; p = doc.parentLayer(p)) list << "\t";
                          list << "地図 " << ++n << "\r\n";
                      }
                  },
              .ui = "dialog 128; click 1; dialog open; select 1131 1; file " + file.string(),
              .rules = {// Without the plug-in's module or the host's window no
                        // dialog is shown: the runner returns the host's code, the
                        // file dialog's chooser "not chosen" (cancelled).
                        {"GetPluginFileSpecification", Outcome::Failed},
                        {"GetPlatformPath", Outcome::Failed},
                        {"GetPlatformAppWindow", Outcome::Failed},
                        // Renaming does not look at the host's codes: only a
                        // missing layer fails, as cancelled, with a message.
                        {"GetFirstLayer", Outcome::Quiet},
                        {"GetLayerFirstChild", Outcome::Quiet},
                        {"GetLayerParent", Outcome::Quiet},
                        {"GetNextNonChildPreorderLayer", Outcome::Quiet},
                        {"SetLayerTitle", Outcome::Quiet},
                        {"NewFilePath", Outcome::Either},
                        {"GetAsString", Outcome::Either},
                        {"Length", Outcome::Either},
                        {"NewString", Outcome::Either}}});
    fs::remove_all(folder);
}

TEST(MenuCommandSweep, LayerListLoadAsNewLayers) {
    const fs::path folder = Folder("create");
    const fs::path file = folder / "list.txt";
    RunSweep({.name = "layer-list load as new layers",
              .item = "レイヤー名をファイルから設定...",
              .build = Layers,
              .ui = "dialog 128; click 1135; click 1; dialog open; file " + file.string(),
              .prepare =
                  [file] {
                      // Shift-JIS: 北, 南 with two sublayers, 西.
                      std::ofstream(file, std::ios::binary) << "\x96\x6B\r\n\x93\xEC\r\n\t1\r\n\t2\r\n\x90\xBC\r\n";
                  },
              // Creating does not look at the host's codes: only a layer
              // that is not made fails, as cancelled, without a message.
              .rules = {{"InsertLayer", Outcome::Quiet},
                        {"SetLayerTitle", Outcome::Quiet},
                        {"GetLayerParent", Outcome::Quiet},
                        {"GetPluginFileSpecification", Outcome::Failed},
                        {"GetPlatformPath", Outcome::Failed},
                        {"GetPlatformAppWindow", Outcome::Failed},
                        {"NewFilePath", Outcome::Either},
                        {"GetAsString", Outcome::Either},
                        {"Length", Outcome::Either},
                        {"NewString", Outcome::Either}}});
    fs::remove_all(folder);
}

// ---------------------------------------------------------------- transform resets

constexpr const char* kAccum = "BBAccumRotation";

HostMatrix Sheared(double sx, double sy, double shear, double degrees, double tx, double ty) {
    return host::Concat(HostMatrix{sx, 0, shear, sy, 0, 0}, Turned(degrees, tx, ty));
}

Art* Label(Document& doc, Layer* layer, const HostMatrix& m,
           std::vector<host::TextRun> runs = {Chars("Ab"), Chars("漢字", 10, 20)}, int32_t orientation = 0) {
    return Selected(doc, AddPointText(doc, layer->group(), m, std::move(runs), orientation));
}

TEST(MenuCommandSweep, ResetPlacedImageSize) {
    RunSweep({.name = "reset placed image size",
              .item = "配置画像サイズをリセット",
              .build =
                  [](Document& doc, Layer* layer) {
                      Selected(doc, AddPlaced(doc, layer->group(), {0.5, 0.1, 0, -0.5, 10, 10}, 40, 20))->tags = {
                          {kAccum, "1"}};
                      Selected(doc, AddRaster(doc, layer->group(), {2, 0, 0, 2, 5, 5}, 4, 4));
                  },
              // The rotation tag goes with the reset; failing to remove it
              // does not undo the reset.
              .rules = {{"RemoveTag", Outcome::Clean}}});
}

TEST(MenuCommandSweep, RestoreTextUpright) {
    RunSweep(
        {.name = "restore text upright", .item = "テキストを水平垂直に戻す", .build = [](Document& doc, Layer* layer) {
             Label(doc, layer, Turned(30, 5, 5), {Chars("ab", 12, 10), Chars("c", 9)})->tags = {{kAccum, "1"}};
             Selected(doc, AddFramedText(doc, layer->group(), kHostAreaText, Turned(10), {{0, 20}, {50, 20}, {50, 0}},
                                         {Chars("area")}));
             Label(doc, layer, Turned(90, 300, 300), {Chars("縦書き")}, 1);
         }});
}

TEST(MenuCommandSweep, RemoveTextShear) {
    RunSweep(
        {.name = "remove text shear", .item = "テキストのシアー変形除去", .build = [](Document& doc, Layer* layer) {
             Label(doc, layer, Sheared(1, 2, 0.3, 30, 5, 5), {Chars("ab", 12), Chars("c", 9)});
             Selected(doc, AddFramedText(doc, layer->group(), kHostPathText, Sheared(1, 2, 0.3, 0, 0, 0),
                                         {{0, 0}, {40, 10}, {80, 0}}, {Chars("path")}));
             Label(doc, layer, Sheared(1, 1.5, 0.2, 0, 9, 9), {Chars("v")}, 1);
             Label(doc, layer, {1, 0.5, 2, 1, 10, 10});  // flat: skipped
         }});
}

// ---------------------------------------------------------------- about

TEST(MenuCommandSweep, AboutBox) {
    RunSweep({.name = "about box", .item = "Nodra-Orbalis1.5...", .ui = "dialog 107; click 1063; click 1063; click 1"});
}

}  // namespace
}  // namespace orbalis::testing::sweep
