// Pictures of the plug-in's dialogs: well-formed SVG with every control of
// the template in place, drawn in its current state.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "host/app/Host.h"
#include "host/win32/DialogPicture.h"
#include "host/win32/DialogTemplate.h"
#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

class DialogPicture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_NE(host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        module = GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH);
        ASSERT_NE(module, nullptr);
    }
    host::Host host;
    HINSTANCE module = nullptr;
};

TEST_F(DialogPicture, EveryControlOfTheMapScalingDialogIsDrawnWhereItsUnitsPutIt) {
    std::string error;
    const int windows = LiveWindows();
    const std::string svg = DrawTemplateSvg(module, 115, &error);
    ASSERT_FALSE(svg.empty()) << error;
    EXPECT_EQ(LiveWindows(), windows) << "the dialog drawn is gone again";
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg.c_str())) << svg.substr(0, 200);
    const pugi::xml_node root = doc.child("svg");
    // 219 x 259 dialog units at 6 x 13 pixels to 4 x 8 units, plus the
    // frame (3 each side) and the caption bar (19).
    EXPECT_EQ(root.attribute("width").as_int(), 329 + 6);
    EXPECT_EQ(root.attribute("height").as_int(), 421 + 3 + 19 + 3);
    EXPECT_TRUE(root.find_node([](pugi::xml_node n) {
        return std::string(n.name()) == "text" && std::string(n.child_value()) == "地図拡大・縮小 -  Nodra-Orbalis";
    }));
    for (int id : {1075, 1088, 1074, 1089, 1090, 1091, 1076, 1084, 1072, 1086, 1085, 1073,
                   1087, 1070, 1077, 1083, 1078, 1080, 1079, 1081, 1082, 1092, 1,    2}) {
        const std::string name = "control-" + std::to_string(id);
        const pugi::xml_node group =
            root.find_node([&](pugi::xml_node n) { return name == n.attribute("id").value(); });
        ASSERT_TRUE(group) << name;
        EXPECT_TRUE(group.first_child()) << name << " is drawn";
    }
    // The current-scale field, at (76, 22) units: 114 by 36 pixels inside
    // the frame and caption.
    const pugi::xml_node field =
        root.find_node([](pugi::xml_node n) { return std::string("control-1074") == n.attribute("id").value(); });
    EXPECT_EQ(field.child("rect").attribute("x").as_int(), 114);
    EXPECT_EQ(field.child("rect").attribute("y").as_int(), 36);
    error.clear();
    EXPECT_TRUE(DrawTemplateSvg(module, 999, &error).empty());
    EXPECT_EQ(error, "there is no dialog 999");
}

INT_PTR CALLBACK Filled(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    SetDlgItemTextW(dialog, 1126, u"10");
    CheckDlgButton(dialog, 1125, BST_CHECKED);
    EnableWindow(GetDlgItem(dialog, 1128), FALSE);
    return TRUE;
}

TEST_F(DialogPicture, ALiveDialogIsDrawnWithItsTextsChecksAndEnabling) {
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(125), nullptr, Filled, 0);
    ASSERT_TRUE(IsWindow(dialog));
    const std::string svg = DrawDialogSvg(dialog);
    DestroyWindow(dialog);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(svg.c_str()));
    auto group = [&](int id) {
        const std::string name = "control-" + std::to_string(id);
        return doc.find_node([&](pugi::xml_node n) { return name == n.attribute("id").value(); });
    };
    EXPECT_STREQ(group(1126).child("text").child_value(), "10");
    EXPECT_TRUE(group(1125).child("path")) << "the check mark";
    EXPECT_FALSE(group(1106).child("path"));
    EXPECT_STRNE(group(1128).child("rect").attribute("fill").value(), "#ffffff") << "a disabled field is grey";
    EXPECT_STREQ(group(1127).child("rect").attribute("fill").value(), "#ffffff");
}

}  // namespace
}  // namespace orbalis::win32
