// The window tree without dialogs: handles, focus, edits, subclassing,
// properties, GDI objects and the ANSI forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/win32/Driver.h"

namespace orbalis::win32 {
namespace {

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

// A top-level window of a class of its own, holding controls.
class WindowTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = u"WindowTreeTest";
        RegisterClassExW(&wc);
        windowsBefore = LiveWindows();
        gdiBefore = LiveGdiObjects();
        frame = CreateWindowExW(0, u"WindowTreeTest", u"frame", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_TRUE(IsWindow(frame));
    }
    void TearDown() override {
        DestroyWindow(frame);
        EXPECT_EQ(LiveWindows(), windowsBefore);
        EXPECT_EQ(LiveGdiObjects(), gdiBefore);
        EXPECT_EQ(GetFocus(), nullptr);
    }

    HWND Child(const char16_t* cls, int id, DWORD style = 0, const char16_t* text = u"") {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 50, 14, frame,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }

    std::u16string Text(HWND w) {
        char16_t buffer[256];
        GetWindowTextW(w, buffer, 256);
        return buffer;
    }

    std::vector<std::string> Log() {
        std::vector<std::string> out;
        for (const LoggedMessage& m : MessageLog())
            if (m.message == WM_SETFOCUS || m.message == WM_KILLFOCUS || m.message == WM_COMMAND)
                out.push_back(Describe(m));
        return out;
    }

    HWND frame = nullptr;
    int windowsBefore = 0;
    int gdiBefore = 0;
};

TEST_F(WindowTreeTest, AFocusChangeTellsTheOldFieldAndItsParentBeforeTheNewField) {
    HWND first = Child(u"EDIT", 11);
    HWND second = Child(u"EDIT", 12);
    SetFocus(first);
    ClearMessageLog();
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_EQ(Log(), (std::vector<std::string>{"WM_KILLFOCUS 11", "WM_COMMAND 0 EN_KILLFOCUS 11", "WM_SETFOCUS 12",
                                               "WM_COMMAND 0 EN_SETFOCUS 12"}));
    EXPECT_EQ(GetFocus(), second);
    // A disabled window cannot take the focus, and a window that is disabled
    // or destroyed gives it up.
    EnableWindow(first, FALSE);
    EXPECT_EQ(SetFocus(first), nullptr);
    EXPECT_EQ(GetFocus(), second);
    EnableWindow(second, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTreeTest, ADigitsOnlyFieldRefusesOtherCharactersAndTheLimitHolds) {
    HWND digits = Child(u"EDIT", 21, ES_NUMBER);
    for (char16_t c : std::u16string(u"1a2-3 ４")) SendMessageW(digits, WM_CHAR, c, 1);
    EXPECT_EQ(Text(digits), u"123");
    SendMessageW(digits, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(Text(digits), u"12");

    HWND limited = Child(u"EDIT", 22);
    SendMessageW(limited, EM_LIMITTEXT, 3, 0);
    ClearMessageLog();
    for (char16_t c : std::u16string(u"abcde")) SendMessageW(limited, WM_CHAR, c, 1);
    EXPECT_EQ(Text(limited), u"abc");
    int maxText = 0;
    for (const LoggedMessage& m : MessageLog()) maxText += m.message == WM_COMMAND && HIWORD(m.wParam) == EN_MAXTEXT;
    EXPECT_EQ(maxText, 2);
    // Typing over a selection replaces it.
    SendMessageW(limited, EM_SETSEL, 1, 2);
    SendMessageW(limited, WM_CHAR, u'X', 1);
    EXPECT_EQ(Text(limited), u"aXc");
}

TEST_F(WindowTreeTest, StaleAndWrongKindHandlesAreRefusedNeverUsed) {
    HWND edit = Child(u"EDIT", 31, 0, u"kept");
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DestroyWindow(edit));
    EXPECT_FALSE(IsWindow(edit));
    SetLastError(0);
    EXPECT_FALSE(SetWindowTextW(edit, u"x"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(edit));
    // The freed slot is used again under another generation: the old value
    // still finds nothing.
    HWND next = Child(u"EDIT", 32);
    EXPECT_NE(next, edit);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_TRUE(IsWindow(next));
    // A handle of another kind is no window, and a window is no brush.
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(brush)));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(next)));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(uintptr_t(0x1234567))));
}

TEST_F(WindowTreeTest, DestroyingAWindowTakesItsChildrenWithIt) {
    HWND edit = Child(u"EDIT", 41);
    const int live = LiveWindows();
    HWND inner = CreateWindowExW(0, u"STATIC", u"", WS_CHILD, 0, 0, 1, 1, edit, nullptr, nullptr, nullptr);
    EXPECT_EQ(LiveWindows(), live + 1);
    DestroyWindow(edit);
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(LiveWindows(), live - 1);
}

HWND gSubclassed = nullptr;
WNDPROC gOriginal = nullptr;

// Drops the letter x and passes everything else on.
LRESULT CALLBACK NoX(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CHAR && wp == u'x') return 0;
    return CallWindowProcW(gOriginal, w, m, wp, lp);
}

TEST_F(WindowTreeTest, ASubclassSeesMessagesFirstAndPassesTheRestOn) {
    gSubclassed = Child(u"EDIT", 51);
    gOriginal =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(gSubclassed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoX)));
    ASSERT_NE(gOriginal, nullptr);
    for (char16_t c : std::u16string(u"axbx")) SendMessageW(gSubclassed, WM_CHAR, c, 1);
    EXPECT_EQ(Text(gSubclassed), u"ab");
    // Undone, the field takes every letter again.
    SetWindowLongPtrW(gSubclassed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOriginal));
    SendMessageW(gSubclassed, WM_CHAR, u'x', 1);
    EXPECT_EQ(Text(gSubclassed), u"abx");
}

TEST_F(WindowTreeTest, PropertiesAndUserDataStayWithTheWindow) {
    int value = 7;
    EXPECT_TRUE(SetPropW(frame, u"Panel", &value));
    EXPECT_EQ(GetPropW(frame, u"Panel"), &value);
    EXPECT_EQ(GetPropW(frame, u"Other"), nullptr);
    EXPECT_EQ(RemovePropW(frame, u"Panel"), &value);
    EXPECT_EQ(GetPropW(frame, u"Panel"), nullptr);
    EXPECT_EQ(SetWindowLongPtrW(frame, GWLP_USERDATA, 42), 0);
    EXPECT_EQ(GetWindowLongPtrW(frame, GWLP_USERDATA), 42);
}

TEST_F(WindowTreeTest, GdiObjectsAreCountedUntilDeleted) {
    const int before = LiveGdiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    LOGFONTW font{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0));
    EXPECT_NE(font.lfFaceName[0], 0);
    font.lfWeight = FW_NORMAL;
    HFONT hfont = CreateFontIndirectW(&font);
    HDC dc = GetDC(frame);
    EXPECT_EQ(LiveGdiObjects(), before + 3);
    // System colour brushes belong to the system.
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    EXPECT_EQ(LiveGdiObjects(), before + 3);

    EXPECT_EQ(SetTextColor(dc, RGB(255, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, 7), 0);

    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(hfont));
    EXPECT_EQ(ReleaseDC(frame, dc), 1);
    EXPECT_EQ(ReleaseDC(frame, dc), 0);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST_F(WindowTreeTest, AnsiFormsConvertThroughUtf8) {
    HWND edit = Child(u"EDIT", 61);
    EXPECT_TRUE(SetWindowTextA(edit, "地図-map"));
    EXPECT_EQ(Text(edit), u"地図-map");
    char small[5];
    // "地" is three bytes: a four-byte buffer holds it and stops before "図".
    EXPECT_EQ(GetWindowTextA(edit, small, 5), 3);
    EXPECT_STREQ(small, "地");
    char16_t wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xE3\x81\x82", -1, wide, 8), 2);
    EXPECT_EQ(std::u16string(wide), u"あ");
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    // Shift-JIS where a caller names it.
    char sjis[16];
    const int n = WideCharToMultiByte(932, 0, u"シフトJIS", -1, sjis, sizeof sjis, nullptr, nullptr);
    EXPECT_EQ(n, 10);
    EXPECT_EQ(MultiByteToWideChar(932, 0, sjis, -1, wide, 8), 7);
    EXPECT_EQ(std::u16string(wide), u"シフトJIS");
}

}  // namespace
}  // namespace orbalis::win32
