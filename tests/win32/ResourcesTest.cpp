// The plug-in's resources as the built library carries them: every dialog
// template control by control, the images, and the property list the host
// checks before it runs the library.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "host/app/PropertyList.h"
#include "host/win32/DialogTemplate.h"
#include "host/win32/Driver.h"
#include "host/win32/Images.h"
#include "host/win32/ResourceFile.h"

namespace orbalis::win32 {
namespace {

enum Kind { Default, Push, Check, Radio, GroupRadio, Group, Label, RightLabel, BorderLabel, Edit, Digits, DropList };

struct Expected {
    int id;
    Kind kind;
    const char* text;
    int x, y, cx, cy;
};

struct ExpectedDialog {
    int id;
    const char* caption;
    int cx, cy;
    std::vector<Expected> items;
};

const std::vector<Resource>& PluginResources() {
    static std::vector<Resource> resources = [] {
        std::vector<Resource> r;
        std::string error;
        EXPECT_TRUE(ReadLibraryResources(ORBALIS_PLUGIN_DEFAULT_PATH, &r, &error)) << error;
        return r;
    }();
    return resources;
}

DialogTemplate Template(int id) {
    DialogTemplate t;
    const Resource* r = FindIn(PluginResources(), ResourceKey{5, {}}, ResourceKey{id, {}});
    EXPECT_NE(r, nullptr) << "dialog " << id;
    if (!r) return t;
    std::string error;
    EXPECT_TRUE(ParseDialogTemplate(r->data.data(), r->data.size(), &t, &error)) << error;
    return t;
}

// What makes a control the kind the dialog tables name.
::testing::AssertionResult IsKind(const DialogItemTemplate& item, Kind kind) {
    const std::string cls = Narrow(item.className);
    const DWORD s = item.style;
    bool ok = false;
    switch (kind) {
    case Default: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_DEFPUSHBUTTON; break;
    case Push: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_PUSHBUTTON; break;
    case Check: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_AUTOCHECKBOX; break;
    case Radio: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_AUTORADIOBUTTON; break;
    case GroupRadio: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_RADIOBUTTON; break;
    case Group: ok = cls == "BUTTON" && (s & BS_TYPEMASK) == BS_GROUPBOX; break;
    case Label: ok = cls == "STATIC" && (s & SS_TYPEMASK) == SS_LEFT && !(s & WS_BORDER); break;
    case RightLabel: ok = cls == "STATIC" && (s & SS_TYPEMASK) == SS_RIGHT; break;
    case BorderLabel: ok = cls == "STATIC" && (s & WS_BORDER); break;
    case Edit: ok = cls == "EDIT" && !(s & ES_NUMBER) && (s & WS_TABSTOP); break;
    case Digits: ok = cls == "EDIT" && (s & ES_NUMBER) && (s & WS_TABSTOP); break;
    case DropList: ok = cls == "COMBOBOX" && (s & 3) == CBS_DROPDOWNLIST && (s & WS_TABSTOP); break;
    }
    if (ok && (s & WS_VISIBLE) && !(s & WS_DISABLED)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "control " << item.id << ": class " << cls << ", style 0x" << std::hex << s
                                         << " is not of kind " << std::dec << kind;
}

constexpr int S = -1;  // IDC_STATIC

const std::vector<ExpectedDialog>& Tables() {
    static const std::vector<ExpectedDialog> tables = {
        {107,
         "Nodra-Orbalis1.5について",
         243,
         134,
         {{S, Label, "Version " ORBALIS_VERSION, 7, 7, 56, 8},
          {1, Default, "OK", 186, 112, 50, 14},
          {1063, Push, "Webサイトを開く", 7, 112, 74, 14}}},
        {115,
         "地図拡大・縮小 -  Nodra-Orbalis",
         219,
         259,
         {{S, Group, "", 7, 7, 205, 55},
          {1075, GroupRadio, "縮尺で指定", 14, 4, 46, 15},
          {1088, RightLabel, "現在の縮尺: 1/", 23, 24, 51, 8},
          {1074, Digits, "", 76, 22, 61, 14},
          {1089, RightLabel, "変更先縮尺: 1/", 23, 43, 51, 8},
          {1090, Digits, "", 76, 40, 61, 14},
          {1091, Label, "(150.25%)", 144, 35, 56, 8},
          {S, Group, "", 7, 65, 205, 55},
          {1076, GroupRadio, "倍率で指定", 14, 62, 47, 15},
          {1084, RightLabel, "水平方向:", 34, 83, 35, 8},
          {1072, Edit, "", 71, 81, 49, 14},
          {1086, Label, "%", 124, 83, 8, 8},
          {1085, RightLabel, "垂直方向:", 34, 101, 35, 8},
          {1073, Edit, "", 71, 99, 49, 14},
          {1087, Label, "%", 124, 101, 8, 8},
          {1070, Check, "縦横比を固定", 139, 92, 64, 10},
          {S, Group, "", 7, 124, 205, 37},
          {1077, GroupRadio, "用紙サイズ比率で指定", 14, 121, 83, 15},
          {1083, DropList, "", 35, 139, 162, 30},
          {S, Group, "オプション", 7, 166, 205, 62},
          {1078, Check, "フォントサイズも拡大縮小", 20, 182, 88, 10},
          {1080, Check, "線幅と効果も拡大縮小", 120, 182, 85, 10},
          {1079, Check, "シンボルサイズも拡大縮小", 20, 196, 95, 10},
          {1081, Check, "パターンも拡大縮小", 120, 196, 84, 10},
          {1082, Check, "ガイドも拡大縮小", 20, 210, 71, 10},
          {1092, Check, "選択オブジェクトのみ", 120, 210, 82, 10},
          {1, Default, "実行", 107, 238, 50, 14},
          {2, Push, "キャンセル", 162, 238, 50, 14}}},
        {123,
         "スケールバー作成 - Nodra-Orbalis",
         147,
         120,
         {{S, Label, "縮尺:  1/", 7, 9, 28, 8},
          {1093, Digits, "", 37, 7, 52, 14},
          {S, Label, "距離:", 7, 29, 17, 8},
          {1094, Edit, "", 37, 27, 52, 14},
          {1095, Radio, "km", 95, 29, 21, 10},
          {1096, Radio, "m", 119, 29, 21, 10},
          {1097, Push, "図上長さ確認→", 15, 54, 57, 14},
          {1098, BorderLabel, "", 75, 54, 65, 14},
          {1070, Check, "新規レイヤーに作成する", 7, 79, 81, 10},
          {1, Default, "作成", 35, 99, 50, 14},
          {2, Push, "キャンセル", 89, 99, 50, 14}}},
        {125,
         "レイヤー通し番号作成 - Nodra-Orbalis",
         203,
         173,
         {{S, Label, "対象:", 15, 13, 17, 8},
          {1120, DropList, "", 41, 11, 141, 30},
          {1125, Check, "非表示のレイヤーは除外", 41, 28, 97, 10},
          {S, Group, "付番設定", 7, 43, 189, 102},
          {S, Label, "開始番号:", 21, 57, 31, 8},
          {1126, Digits, "", 56, 55, 40, 14},
          {S, Label, "ステップ数:", 109, 57, 30, 8},
          {1127, Digits, "", 142, 55, 40, 14},
          {1106, Check, "数字の前に次の文字列を加える", 19, 75, 103, 10},
          {1128, Edit, "", 131, 74, 40, 14},
          {1108, Check, "数字の後に次の文字列を加える", 19, 92, 103, 10},
          {1109, Edit, "", 131, 91, 40, 14},
          {1110, Check, "既存のレイヤー名に付加する", 19, 110, 94, 10},
          {1129, Radio, "前につける", 35, 127, 44, 10},
          {1130, Radio, "後につける", 86, 127, 44, 10},
          {1, Default, "実行", 89, 152, 50, 14},
          {2, Push, "キャンセル", 146, 152, 50, 14}}},
        {126,
         "レイヤー名置換 - Nodra-Orbalis",
         191,
         219,
         {{S, Label, "対象:", 23, 9, 17, 8},
          {1120, DropList, "", 43, 7, 127, 30},
          {1125, Check, "非表示のレイヤーは除外", 43, 25, 97, 10},
          {S, Group, "操作", 7, 39, 177, 149},
          {1115, GroupRadio, "文字列置換", 16, 53, 56, 10},
          {S, RightLabel, "検索文字列:", 33, 67, 40, 8},
          {1105, Edit, "", 78, 65, 40, 14},
          {S, RightLabel, "置換文字列:", 34, 84, 39, 8},
          {1106, Edit, "", 78, 81, 40, 14},
          {1111, GroupRadio, "文字列を挿入", 16, 100, 55, 10},
          {1107, Edit, "", 36, 114, 40, 14},
          {S, Label, "位置:", 87, 116, 17, 8},
          {1123, Radio, "先頭", 109, 115, 27, 10},
          {1124, Radio, "末尾", 142, 115, 25, 10},
          {1112, GroupRadio, "前に付いた数字を削除", 16, 133, 89, 10},
          {1114, GroupRadio, "先頭から指定文字列の前までを削除", 16, 151, 128, 10},
          {S, RightLabel, "文字列:", 29, 168, 29, 8},
          {1104, Edit, "", 61, 165, 26, 14},
          {1070, Check, "指定文字列も含めて削除", 94, 167, 90, 10},
          {1, Default, "OK", 79, 194, 50, 14},
          {2, Push, "キャンセル", 134, 194, 50, 14}}},
        {127, "", 379, 29, {{S, RightLabel, "エンコーディング:", 63, 5, 48, 8}, {1131, DropList, "", 130, 3, 164, 30}}},
        {128,
         "レイヤー名をファイルから設定",
         174,
         85,
         {{S, Group, "処理の選択", 7, 7, 160, 50},
          {1134, Radio, "存在しているレイヤーの名前を再設定", 18, 23, 149, 10},
          {1135, Radio, "新規にレイヤーを作成", 18, 38, 85, 10},
          {1, Default, "OK", 61, 64, 50, 14},
          {2, Push, "キャンセル", 117, 64, 50, 14}}},
    };
    return tables;
}

TEST(DialogTemplates, EveryControlIsWhereItsTableSaysWithItsKindAndText) {
    for (const ExpectedDialog& d : Tables()) {
        SCOPED_TRACE("dialog " + std::to_string(d.id));
        const DialogTemplate t = Template(d.id);
        EXPECT_EQ(Narrow(t.caption), d.caption);
        EXPECT_EQ(t.cx, d.cx);
        EXPECT_EQ(t.cy, d.cy);
        EXPECT_EQ(Narrow(t.font), "MS Shell Dlg");
        EXPECT_TRUE(t.style & DS_SETFONT);
        ASSERT_EQ(t.items.size(), d.items.size());
        for (size_t i = 0; i < d.items.size(); ++i) {
            const Expected& e = d.items[i];
            const DialogItemTemplate& item = t.items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
            EXPECT_EQ(static_cast<int16_t>(item.id), e.id);
            EXPECT_EQ(Narrow(item.text), e.text);
            EXPECT_EQ(item.x, e.x);
            EXPECT_EQ(item.y, e.y);
            EXPECT_EQ(item.cx, e.cx);
            EXPECT_EQ(item.cy, e.cy);
            EXPECT_TRUE(IsKind(item, e.kind));
        }
    }
}

TEST(DialogTemplates, CommandDialogsAreCentredModalWithACaptionAndNoSystemMenu) {
    for (int id : {115, 123, 125, 126, 128}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const DWORD style = Template(id).style;
        EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_TRUE(style & DS_MODALFRAME);
        EXPECT_TRUE(style & DS_CENTER);
        EXPECT_FALSE(style & WS_SYSMENU);
    }
    // The About box has the caption's close button; the chooser is a child
    // without a caption, to sit inside the file dialog.
    EXPECT_TRUE(Template(107).style & WS_SYSMENU);
    const DWORD chooser = Template(127).style;
    EXPECT_TRUE(chooser & WS_CHILD);
    EXPECT_TRUE(chooser & DS_CONTROL);
    EXPECT_NE(chooser & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
}

// The automatic radio groups are bounded: their first button starts a group
// and the control after the last starts the next one.
TEST(DialogTemplates, AutomaticRadioGroupsAreBoundedByGroupStyles) {
    struct Bound {
        int dialog, first, last;
    };
    for (const Bound& b :
         {Bound{123, 1095, 1096}, Bound{125, 1129, 1130}, Bound{126, 1123, 1124}, Bound{128, 1134, 1135}}) {
        SCOPED_TRACE("dialog " + std::to_string(b.dialog) + " radio " + std::to_string(b.first));
        const DialogTemplate t = Template(b.dialog);
        size_t first = 0;
        while (first < t.items.size() && t.items[first].id != b.first) ++first;
        ASSERT_LT(first + 2, t.items.size());
        EXPECT_TRUE(t.items[first].style & WS_GROUP);
        EXPECT_EQ(t.items[first + 1].id, b.last);
        EXPECT_FALSE(t.items[first + 1].style & WS_GROUP);
        EXPECT_TRUE(t.items[first + 2].style & WS_GROUP);
    }
}

TEST(ResourceImages, IconsBitmapsAndPanelImagesHaveTheirSizes) {
    for (int id = 108; id <= 113; ++id) {
        const Resource* group = FindIn(PluginResources(), ResourceKey{14, {}}, ResourceKey{id, {}});
        ASSERT_NE(group, nullptr) << "icon " << id;
        ASSERT_GE(group->data.size(), 20u);
        EXPECT_EQ(group->data[6], 24) << "icon " << id << " width";
        EXPECT_EQ(group->data[7], 24) << "icon " << id << " height";
        const int image = group->data[18] | (group->data[19] << 8);
        const Resource* icon = FindIn(PluginResources(), ResourceKey{3, {}}, ResourceKey{image, {}});
        ASSERT_NE(icon, nullptr);
        Image decoded;
        ASSERT_TRUE(DecodeDib(icon->data.data(), icon->data.size(), true, &decoded));
        EXPECT_EQ(decoded.width, 24);
        EXPECT_EQ(decoded.height, 24);
    }
    for (int id = 116; id <= 118; ++id) {
        const Resource* bitmap = FindIn(PluginResources(), ResourceKey{2, {}}, ResourceKey{id, {}});
        ASSERT_NE(bitmap, nullptr) << "bitmap " << id;
        uint16_t bits = 0;
        std::memcpy(&bits, bitmap->data.data() + 14, 2);
        EXPECT_EQ(bits, 24) << "bitmap " << id;
        Image decoded;
        ASSERT_TRUE(DecodeDib(bitmap->data.data(), bitmap->data.size(), false, &decoded));
        EXPECT_EQ(decoded.width, 20);
        EXPECT_EQ(decoded.height, 20);
    }
    for (int id = 119; id <= 122; ++id) {
        // The type name compares without regard to case.
        const Resource* png = FindIn(PluginResources(), ResourceKey{-1, u"pngi"}, ResourceKey{id, {}});
        ASSERT_NE(png, nullptr) << "image " << id;
        ASSERT_GE(png->data.size(), 24u);
        EXPECT_EQ(std::memcmp(png->data.data(), "\x89PNG", 4), 0);
        auto be32 = [&](size_t at) {
            return (png->data[at] << 24) | (png->data[at + 1] << 16) | (png->data[at + 2] << 8) | png->data[at + 3];
        };
        EXPECT_EQ(be32(16), 23) << "image " << id << " width";
        EXPECT_EQ(be32(20), 23) << "image " << id << " height";
    }
}

TEST(PropertyList, NamesAPluginOfThisHostAndItsEntryPoint) {
    host::PropertyList list;
    std::string error;
    ASSERT_TRUE(host::CheckPropertyList(PluginResources(), &list, &error)) << error;
    EXPECT_EQ(list.kind, "SPEA");
    EXPECT_EQ(list.interfaceVersion, 2);
    EXPECT_EQ(list.entryPoint, "PluginMain");
    EXPECT_EQ(list.name, "Nodra-Orbalis1.5");
}

TEST(ResourceImage, DamagedImagesAreRefusedNotOverread) {
    std::vector<Resource> out;
    std::string error;
    const Resource* pipl = FindIn(PluginResources(), ResourceKey{-1, u"PIPL"}, ResourceKey{16000, {}});
    ASSERT_NE(pipl, nullptr);
    // An entry claiming more data than there is.
    const uint8_t header[] = {0xFF, 0xFF, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 10, 0, 0xFF, 0xFF, 1, 0,
                              0,    0,    0, 0, 0,  0, 0, 0, 0,    0,    0,  0, 0,    0,    0, 0};
    EXPECT_FALSE(ParseResources(header, sizeof header, &out, &error));
    EXPECT_FALSE(error.empty());
    // A property list cut short.
    Resource cut = *pipl;
    cut.data.resize(30);
    host::PropertyList list;
    EXPECT_FALSE(host::ReadPropertyList({cut}, &list, &error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
    // Empty texts: no entry point and no name, so no plug-in of this host.
    Resource empty = *pipl;
    empty.data = {1, 0, 0, 0, 2, 0, 0, 0};
    for (const char* key : {"wx64", "pinm"}) {
        const uint8_t entry[16] = {
            'A', 'D', 'B', 'E', uint8_t(key[0]), uint8_t(key[1]), uint8_t(key[2]), uint8_t(key[3])};
        empty.data.insert(empty.data.end(), entry, entry + 16);
    }
    ASSERT_TRUE(host::ReadPropertyList({empty}, &list, &error)) << error;
    EXPECT_EQ(list.entryPoint, "");
    EXPECT_EQ(list.name, "");
    EXPECT_FALSE(host::CheckPropertyList({empty}, &list, &error));
}

TEST(DialogTemplates, ExtremeUnitsAndFontSizesDoNotOverflow) {
    DialogTemplate t;
    t.pointSize = 65535;  // read from a 16-bit word
    const BaseUnits units = BaseUnitsOf(t);
    const RECT r = ToPixels(units, -32768, -32768, 32767, 32767);
    EXPECT_LT(r.left, 0);
    EXPECT_LT(r.top, 0);
    EXPECT_EQ(ToPixels(BaseUnits{6, 13}, 10, 8, 40, 16).right, 75);
}

}  // namespace
}  // namespace orbalis::win32
