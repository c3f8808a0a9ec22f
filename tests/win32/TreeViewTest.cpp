// The tree view and image lists as the move-between-layers panel uses them:
// items with images and values, a click found by hit testing the cursor.
#include <gtest/gtest.h>

#include "host/app/Host.h"
#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

struct Clicks {
    std::vector<std::pair<HTREEITEM, UINT>> hits;  // item and hit flags of each NM_CLICK
    std::vector<LPARAM> selections;                // item values of TVN_SELCHANGED
};
Clicks* gClicks = nullptr;

// Hit-tests the cursor at each click, as a panel does.
LRESULT CALLBACK PanelProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NOTIFY && gClicks) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->code == NM_CLICK) {
            TVHITTESTINFO hit{};
            GetCursorPos(&hit.pt);
            ScreenToClient(header->hwndFrom, &hit.pt);
            SendMessageW(header->hwndFrom, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            gClicks->hits.emplace_back(hit.hItem, hit.flags);
        } else if (header->code == TVN_SELCHANGEDW) {
            gClicks->selections.push_back(reinterpret_cast<const NMTREEVIEWW*>(lp)->itemNew.lParam);
        }
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_NE(host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        module = GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH);
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = PanelProc;
        wc.lpszClassName = u"TreeViewTestPanel";
        RegisterClassExW(&wc);
        windows = LiveWindows();
        gdi = LiveGdiObjects();
        panel = CreateWindowExW(0, u"TreeViewTestPanel", u"", WS_POPUP | WS_VISIBLE, 100, 50, 240, 200, nullptr,
                                nullptr, nullptr, nullptr);
        tree = CreateWindowExW(
            0, WC_TREEVIEWW, u"",
            WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT, 2, 2,
            230, 120, panel, nullptr, nullptr, nullptr);
        ASSERT_TRUE(IsWindow(tree));
        gClicks = &clicks;
    }
    void TearDown() override {
        gClicks = nullptr;
        DestroyWindow(panel);
        EXPECT_EQ(LiveWindows(), windows);
        EXPECT_EQ(LiveGdiObjects(), gdi);
    }

    HTREEITEM Insert(HTREEITEM parent, const char16_t* text, LPARAM value, int image) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<LPWSTR>(text);
        insert.item.lParam = value;
        insert.item.iImage = insert.item.iSelectedImage = image;
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    host::Host host;
    HINSTANCE module = nullptr;
    HWND panel = nullptr, tree = nullptr;
    Clicks clicks;
    int windows = 0, gdi = 0;
};

TEST_F(TreeViewTest, AnImageListTakesTheBitmapsInOrderAndIsTheOwnersToDestroy) {
    const int lists = LiveImageLists();
    HIMAGELIST images = ImageList_Create(20, 20, ILC_COLOR24, 3, 0);
    for (int id : {118, 116, 117}) {
        HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0);
        ASSERT_NE(bitmap, nullptr) << id;
        EXPECT_EQ(ImageList_Add(images, static_cast<HBITMAP>(bitmap), nullptr), ImageList_GetImageCount(images));
        DeleteObject(bitmap);  // the list keeps its own copy
    }
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    EXPECT_EQ(SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images)), 0);
    EXPECT_EQ(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(images));
    EXPECT_EQ(LiveImageLists(), lists + 1);
    // A bitmap of another height does not fit.
    HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(116), IMAGE_BITMAP, 20, 10, 0);
    EXPECT_EQ(ImageList_Add(images, static_cast<HBITMAP>(icon), nullptr), -1);
    DeleteObject(icon);
    EXPECT_TRUE(ImageList_Destroy(images));
    EXPECT_FALSE(ImageList_Destroy(images));
    EXPECT_EQ(LiveImageLists(), lists);
}

TEST_F(TreeViewTest, AClickIsFoundByHitTestingTheCursorOnTheItemsParts) {
    HTREEITEM root = Insert(TVI_ROOT, u"map.ai", 0, 2);
    HTREEITEM roads = Insert(root, u"道路", 11, 0);
    HTREEITEM rivers = Insert(root, u"河川", 12, 0);
    HTREEITEM national = Insert(roads, u"国道", 13, 0);
    ASSERT_NE(roads, nullptr);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 4);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(roads));

    EXPECT_EQ(UserClickTreeItem(tree, roads, TVHT_ONITEMLABEL), "");
    EXPECT_EQ(UserClickTreeItem(tree, rivers, TVHT_ONITEMRIGHT), "");
    EXPECT_EQ(UserClickTreeItem(tree, rivers, TVHT_ONITEMINDENT), "");
    ASSERT_EQ(clicks.hits.size(), 3u);
    EXPECT_EQ(clicks.hits[0], std::make_pair(roads, static_cast<UINT>(TVHT_ONITEMLABEL)));
    EXPECT_EQ(clicks.hits[1], std::make_pair(rivers, static_cast<UINT>(TVHT_ONITEMRIGHT)));
    EXPECT_EQ(clicks.hits[2], std::make_pair(rivers, static_cast<UINT>(TVHT_ONITEMINDENT)));
    EXPECT_EQ(clicks.selections, (std::vector<LPARAM>{11, 12}));

    // A sublayer's button folds it: its children are no longer shown. (Root
    // items have no button without TVS_LINESATROOT.)
    EXPECT_EQ(UserClickTreeItem(tree, roads, TVHT_ONITEMBUTTON), "");
    EXPECT_EQ(clicks.hits.back(), std::make_pair(roads, static_cast<UINT>(TVHT_ONITEMBUTTON)));
    EXPECT_EQ(UserClickTreeItem(tree, national, TVHT_ONITEMLABEL), "the item is not shown in the tree");
    EXPECT_EQ(clicks.selections, (std::vector<LPARAM>{11, 12})) << "folding selects nothing";
    TVHITTESTINFO below{{10, 100}, 0, nullptr};
    EXPECT_EQ(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&below)), 0);
    EXPECT_EQ(below.flags, static_cast<UINT>(TVHT_NOWHERE));
}

TEST_F(TreeViewTest, DeletedItemsAreStaleAndTheDisabledTreeTakesNoClick) {
    HTREEITEM root = Insert(TVI_ROOT, u"doc", 0, 2);
    HTREEITEM layer = Insert(root, u"Layer 1", 5, 0);
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = layer;
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 5);
    EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Insert(root, u"orphan", 0, 0), nullptr) << "a stale parent is refused";
    HTREEITEM again = Insert(TVI_ROOT, u"doc", 0, 2);
    EnableWindow(tree, FALSE);
    EXPECT_EQ(UserClickTreeItem(tree, again, TVHT_ONITEMLABEL), "the tree is disabled");
    EXPECT_TRUE(clicks.hits.empty());
}

}  // namespace
}  // namespace orbalis::win32
