// Modal dialogs made from the plug-in's own templates, driven by the
// scripted user: message order, radio groups, end codes, nested dialogs and
// steps that a person could not take.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "host/app/Host.h"
#include "host/win32/Driver.h"
#include "host/win32/ScriptedUser.h"

namespace orbalis::win32 {
namespace {

constexpr INT_PTR kCancel = 0x53544F50;  // 'STOP'

// A dialog procedure for the tests: ends on OK with 0 and on cancel with
// 'STOP', and lets a test add its own handling.
struct Procedure {
    std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> extra;
    bool ignoreCancel = false;
};
Procedure* gProcedure = nullptr;

INT_PTR CALLBACK TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gProcedure && gProcedure->extra)
        if (INT_PTR r = gProcedure->extra(dialog, message, wParam, lParam)) return r;
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) return EndDialog(dialog, 0);
    if (LOWORD(wParam) == IDCANCEL && !(gProcedure && gProcedure->ignoreCancel)) return EndDialog(dialog, kCancel);
    return FALSE;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        windowsBefore = LiveWindows();
        host = std::make_unique<host::Host>();
        std::string error;
        ASSERT_NE(host->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        module = GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH);
        ASSERT_NE(module, nullptr);
        owner = reinterpret_cast<HWND>(host->mainWindow());
        SetDialogUser(&user);
        gProcedure = &procedure;
        ClearMessageLog();
    }
    void TearDown() override {
        SetDialogUser(nullptr);
        gProcedure = nullptr;
        host.reset();
        EXPECT_EQ(LiveWindows(), windowsBefore) << "windows left behind";
        EXPECT_TRUE(OpenDialogs().empty());
    }

    void Script(const std::string& text) {
        std::vector<UiStep> steps;
        std::string error;
        ASSERT_TRUE(ParseUiScript(text, &steps, &error)) << error;
        user.Add(std::move(steps));
    }

    INT_PTR Run(int id) { return DialogBoxParamW(module, MAKEINTRESOURCEW(id), owner, TestProc, 0); }

    // The focus and click traffic of the log, from the first message
    // matching `from` on.
    std::vector<std::string> Traffic() {
        std::vector<std::string> out;
        for (const LoggedMessage& m : MessageLog()) {
            const bool command =
                m.message == WM_COMMAND && HIWORD(m.wParam) != EN_UPDATE && HIWORD(m.wParam) != EN_CHANGE;
            if (m.message == WM_SETFOCUS || m.message == WM_KILLFOCUS || command) out.push_back(Describe(m));
        }
        return out;
    }

    std::unique_ptr<host::Host> host;
    HINSTANCE module = nullptr;
    HWND owner = nullptr;
    ScriptedUser user;
    Procedure procedure;
    int windowsBefore = 0;
};

TEST_F(DialogTest, AClickMovesTheFocusFirstSoTheFieldHearsItLoseIt) {
    std::u16string typed;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            char16_t text[32];
            GetDlgItemTextW(dialog, 1126, text, 32);
            typed = text;
        }
        return 0;
    };
    Script("dialog 125; type 1126 4a2; click 1106; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(typed, u"42");
    const std::vector<std::string> traffic = Traffic();
    const std::vector<std::string> expected = {"WM_KILLFOCUS 1126",          "WM_COMMAND 125 EN_KILLFOCUS 1126",
                                               "WM_SETFOCUS 1106",           "WM_COMMAND 125 BN_CLICKED 1106",
                                               "WM_KILLFOCUS 1106",          "WM_SETFOCUS 1",
                                               "WM_COMMAND 125 BN_CLICKED 1"};
    auto at = std::search(traffic.begin(), traffic.end(), expected.begin(), expected.end());
    EXPECT_NE(at, traffic.end()) << ::testing::PrintToString(traffic);
    // The dialog started with the focus on its first tab stop, the target list.
    EXPECT_EQ(traffic.front(), "WM_SETFOCUS 1120");
    EXPECT_TRUE(user.errors().empty());
}

TEST_F(DialogTest, TypingSendsOneCharacterMessagePerCharacterOverTheSelection) {
    procedure.extra = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) SetDlgItemTextW(dialog, 1128, u"old text");
        return 0;
    };
    std::u16string result;
    procedure.extra = [&, init = procedure.extra](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
        init(d, m, w, l);
        if (m == WM_COMMAND && LOWORD(w) == IDOK) {
            char16_t text[64];
            GetDlgItemTextW(d, 1128, text, 64);
            result = text;
        }
        return 0;
    };
    Script(R"(dialog 125; type 1128 "a; \"b\" c"; click 1)");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(result, u"a; \"b\" c");
    int characters = 0;
    for (const LoggedMessage& m : MessageLog()) characters += m.message == WM_CHAR && m.controlId == 1128;
    EXPECT_EQ(characters, 8);
}

TEST_F(DialogTest, AnAutomaticRadioClearsTheOthersOfItsGroupOnly) {
    UINT before = 0, after = 0, other = 0;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            CheckDlgButton(dialog, 1129, BST_CHECKED);
            CheckDlgButton(dialog, 1110, BST_CHECKED);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            before = IsDlgButtonChecked(dialog, 1129);
            after = IsDlgButtonChecked(dialog, 1130);
            other = IsDlgButtonChecked(dialog, 1110);
        }
        return 0;
    };
    Script("dialog 125; click 1130; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(before, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(after, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(other, static_cast<UINT>(BST_CHECKED)) << "a check box outside the group stays";
}

TEST_F(DialogTest, PlainRadiosAreLeftToTheDialogWhichChecksThemAsOneGroup) {
    UINT replace = 9, insert = 9;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) CheckRadioButton(dialog, 1111, 1115, 1115);
        if (message == WM_COMMAND && LOWORD(wParam) == 1111 && HIWORD(wParam) == BN_CLICKED) {
            insert = IsDlgButtonChecked(dialog, 1111);  // not checked by the click itself
            CheckRadioButton(dialog, 1111, 1115, 1111);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) replace = IsDlgButtonChecked(dialog, 1115);
        return 0;
    };
    Script("dialog 126; click 1111; click 1");
    EXPECT_EQ(Run(126), 0);
    EXPECT_EQ(insert, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(replace, static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(DialogTest, EndCodesOfOkEnterEscapeAndTheCloseButton) {
    Script("dialog 128; click 1");
    EXPECT_EQ(Run(128), 0);
    Script("dialog 128; enter");
    EXPECT_EQ(Run(128), 0);
    Script("dialog 128; escape");
    EXPECT_EQ(Run(128), kCancel);
    Script("dialog 128; click 2");
    EXPECT_EQ(Run(128), kCancel);
    // Uncovered: closed as by the caption's button, so cancelled.
    EXPECT_EQ(Run(128), kCancel);
    ASSERT_EQ(user.errors().size(), 1u);
    // A dialog that will not close is ended with the failure value.
    procedure.ignoreCancel = true;
    EXPECT_EQ(Run(128), -1);
    EXPECT_EQ(user.errors().size(), 2u);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonWithoutMovingTheFocus) {
    HWND focusAtOk = nullptr;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
            focusAtOk = GetFocus() == GetDlgItem(dialog, 1126) ? GetFocus() : nullptr;
        return 0;
    };
    Script("dialog 125; type 1126 5; enter");
    EXPECT_EQ(Run(125), 0);
    EXPECT_NE(focusAtOk, nullptr);
}

TEST_F(DialogTest, TheDefaultButtonFollowsTheFocusSoEnterPressesTheFocusedButton) {
    auto isDefault = [](HWND dialog, int id) {
        return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    bool cancelWasDefault = false, okWasDefault = true;
    int pressed = 0;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            pressed = LOWORD(wParam);
            cancelWasDefault = isDefault(dialog, IDCANCEL);
            okWasDefault = isDefault(dialog, IDOK);
        }
        return 0;
    };
    // From the after-radio, Tab reaches OK, then Cancel: Cancel is drawn as
    // the default and Enter presses it, as in a Windows dialog.
    Script("dialog 125; click 1110; click 1130; leave; leave; enter");
    EXPECT_EQ(Run(125), kCancel);
    EXPECT_EQ(pressed, IDCANCEL);
    EXPECT_TRUE(cancelWasDefault);
    EXPECT_FALSE(okWasDefault);
}

TEST_F(DialogTest, LeaveMovesAlongTheTabOrder) {
    std::vector<int> focused;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_SETFOCUS) focused.push_back(LOWORD(wParam));
        if (message == WM_INITDIALOG) EnableWindow(GetDlgItem(dialog, 1128), FALSE);
        return 0;
    };
    // 1126, 1127, then past the disabled 1128 to 1108's field 1109 only via
    // the check boxes between them.
    Script("dialog 125; type 1126 1; leave; leave; leave; leave; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(focused, (std::vector<int>{1126, 1127, 1109}));
}

// Checking a radio button makes it a tab stop and clearing it takes the tab
// stop away, whatever the template said: Tab enters a group at its checked
// button and passes over a group with none checked.
TEST_F(DialogTest, ARadioIsATabStopOnlyWhileCheckedSoTabEntersItsGroupAtTheCheckedOne) {
    int checkedRadio = 0;  // which radio 125's init checks; 0 clears both
    int focusAtOk = -1;
    LONG_PTR front = 0, behind = 0;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            CheckRadioButton(dialog, 1129, 1130, checkedRadio);
            front = GetWindowLongPtrW(GetDlgItem(dialog, 1129), GWL_STYLE);
            behind = GetWindowLongPtrW(GetDlgItem(dialog, 1130), GWL_STYLE);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) focusAtOk = GetDlgCtrlID(GetFocus());
        return 0;
    };
    checkedRadio = 1130;
    Script("dialog 125; click 1110; leave; enter");
    EXPECT_EQ(Run(125), 0);
    EXPECT_FALSE(front & WS_TABSTOP) << "the template's tab stop goes with the check";
    EXPECT_TRUE(behind & WS_TABSTOP) << "a checked radio is a tab stop";
    EXPECT_EQ(focusAtOk, 1130);

    checkedRadio = 0;
    Script("dialog 125; click 1110; leave; enter");
    EXPECT_EQ(Run(125), 0);
    EXPECT_FALSE((front | behind) & WS_TABSTOP);
    EXPECT_EQ(focusAtOk, IDOK) << "Tab passes over a group with nothing checked";
}

// The first tab stop that gets the focus when the dialog procedure leaves it
// to the system is sought after WM_INITDIALOG, which may have moved the tab
// stops by checking radios.
TEST_F(DialogTest, TheFirstFocusIsTheFirstTabStopAfterTheInitialisationChecked) {
    int focusAtOk = -1;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) CheckRadioButton(dialog, 1075, 1077, 1076);
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) focusAtOk = GetDlgCtrlID(GetFocus());
        return 0;
    };
    Script("dialog 115; enter");
    EXPECT_EQ(Run(115), 0);
    EXPECT_EQ(focusAtOk, 1074)
        << "the first mode radio lost its tab stop when it was cleared, so the first field has it";
}

TEST_F(DialogTest, TabIntoATextFieldSelectsItsTextSoTypingReplacesIt) {
    std::u16string steps, other;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SetDlgItemTextW(dialog, 1126, u"25");
            SetDlgItemTextW(dialog, 1127, u"10");
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            char16_t text[32];
            GetDlgItemTextW(dialog, 1127, text, 32);
            steps = text;
            GetDlgItemTextW(dialog, 1126, text, 32);
            other = text;
        }
        return 0;
    };
    // Tab from 1126 to 1127 and type: the 10 is replaced, not prefixed.
    // Shift+Tab back to 1126 selects its text the same way.
    Script("dialog 125; type 1126 7; leave; keys 5; back; keys 8; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(steps, u"5");
    EXPECT_EQ(other, u"8");
    EXPECT_TRUE(user.errors().empty()) << ::testing::PrintToString(user.errors());
}

TEST_F(DialogTest, AClickIntoAFieldKeepsTheCaretWhereTheFieldHadIt) {
    // Only the dialog manager's moves select: focus given by SetFocus (as a
    // click gives it) leaves the field's selection alone.
    std::u16string result;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) SetDlgItemTextW(dialog, 1127, u"10");
        if (message == WM_COMMAND && LOWORD(wParam) == 1106) SetFocus(GetDlgItem(dialog, 1127));
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            char16_t text[32];
            GetDlgItemTextW(dialog, 1127, text, 32);
            result = text;
        }
        return 0;
    };
    Script("dialog 125; click 1106; keys 5; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(result, u"510");
}

TEST_F(DialogTest, KeysWithNothingFocusedInTheDialogAreAnError) {
    procedure.extra = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 1106) SetFocus(nullptr);
        return 0;
    };
    Script("dialog 125; click 1106; keys 5");
    EXPECT_EQ(Run(125), kCancel);
    ASSERT_EQ(user.errors().size(), 1u);
    EXPECT_NE(user.errors()[0].find("nothing in the dialog has the focus"), std::string::npos) << user.errors()[0];
}

TEST_F(DialogTest, AStepAtADisabledOrHiddenControlIsAnErrorAndCancels) {
    procedure.extra = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EnableWindow(GetDlgItem(dialog, 1128), FALSE);
            ShowWindow(GetDlgItem(dialog, 1109), SW_HIDE);
        }
        return 0;
    };
    Script("dialog 125; type 1128 x; click 1");
    EXPECT_EQ(Run(125), kCancel);
    ASSERT_EQ(user.errors().size(), 1u);
    EXPECT_NE(user.errors()[0].find("control 1128 is disabled"), std::string::npos) << user.errors()[0];
    EXPECT_EQ(user.pendingSteps(), 0u) << "the rest of that dialog's steps are dropped";
    Script("dialog 125; click 1109");
    EXPECT_EQ(Run(125), kCancel);
    ASSERT_EQ(user.errors().size(), 2u);
    EXPECT_NE(user.errors()[1].find("control 1109 is hidden"), std::string::npos) << user.errors()[1];
    Script("dialog 125; select 1120 3");
    procedure.extra = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            for (const char16_t* row : {u"a", u"b", u"c"})
                SendDlgItemMessageW(dialog, 1120, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        return 0;
    };
    EXPECT_EQ(Run(125), kCancel);
    ASSERT_EQ(user.errors().size(), 3u);
    EXPECT_NE(user.errors()[2].find("has no row 3"), std::string::npos) << user.errors()[2];
}

TEST_F(DialogTest, ADropDownSelectionTellsTheDialog) {
    int selected = -2, changes = 0;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            for (const char16_t* row :
                 {u"第一階層のレイヤー", u"現在のレイヤー直下のサブレイヤー", u"全てのレイヤー(サブレイヤー含む)"})
                SendDlgItemMessageW(dialog, 1120, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
            SendDlgItemMessageW(dialog, 1120, CB_SETCURSEL, 0, 0);
        }
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) ++changes;
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
            selected = static_cast<int>(SendDlgItemMessageW(dialog, 1120, CB_GETCURSEL, 0, 0));
        return 0;
    };
    Script("dialog 125; select 1120 2; select 1120 2; click 1");
    EXPECT_EQ(Run(125), 0);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(changes, 1) << "choosing the row already chosen changes nothing";
}

TEST_F(DialogTest, ADialogProcedureCanOpenAModalDialogOfItsOwn) {
    INT_PTR inner = 99;
    size_t depth = 0;
    bool outerDisabled = false;
    procedure.extra = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 1134 && DialogTemplateId(dialog) == 128) {
            inner = DialogBoxParamW(module, MAKEINTRESOURCEW(107), dialog, TestProc, 0);
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK && DialogTemplateId(dialog) == 107) {
            depth = OpenDialogs().size();
            outerDisabled = !IsWindowEnabled(GetParent(dialog));
        }
        return 0;
    };
    Script("dialog 128; click 1134; dialog 107; click 1; click 2");
    EXPECT_EQ(Run(128), kCancel);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(depth, 2u);
    EXPECT_TRUE(outerDisabled);
    EXPECT_TRUE(user.errors().empty());
}

TEST_F(DialogTest, AMissingTemplateFailsWithNoWindowLeft) {
    const int live = LiveWindows();
    EXPECT_EQ(Run(999), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LiveWindows(), live);
}

TEST_F(DialogTest, IconsAndBitmapsFromTheModuleAreCountedUntilFreed) {
    const int icons = LiveIcons(), gdi = LiveGdiObjects();
    HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(108), IMAGE_ICON, 24, 24, 0);
    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(116), IMAGE_BITMAP, 0, 0, 0);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(LiveIcons(), icons + 1);
    EXPECT_EQ(LiveGdiObjects(), gdi + 1);
    // Shared icons are the system's: loaded once, never counted.
    HICON shared = LoadIconW(module, MAKEINTRESOURCEW(109));
    EXPECT_EQ(LoadIconW(module, MAKEINTRESOURCEW(109)), shared);
    EXPECT_EQ(LiveIcons(), icons + 1);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(icon)));
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(icon)));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(LiveIcons(), icons);
    EXPECT_EQ(LiveGdiObjects(), gdi);
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(130), IMAGE_ICON, 24, 24, 0), nullptr);
}

TEST_F(DialogTest, AModuleHandleIsGivenOnlyForALoadedLibrary) {
    EXPECT_EQ(GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH), module);
    EXPECT_EQ(GetModuleHandleA("/nonexistent/library.so"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    HRSRC pipl = FindResourceW(module, MAKEINTRESOURCEW(16000), u"pipl");
    ASSERT_NE(pipl, nullptr);
    EXPECT_EQ(SizeofResource(module, pipl), 112u);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(module, pipl))) + 8, 8), "ADBEkind");
}

TEST(UiScript, StepsQuotingAndMistakes) {
    std::vector<UiStep> steps;
    std::string error;
    ASSERT_TRUE(
        ParseUiScript("dialog 125;type 1126 10\n  click 1 ;\n\nleave;enter;escape;"
                      "select 1120 2; clear 1128; dialog open; file \"a b\\\\c.txt\"",
                      &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[1].kind, UiStep::Type);
    EXPECT_EQ(steps[1].text, "10");
    EXPECT_EQ(steps[6].row, 2);
    EXPECT_EQ(steps[8].dialog, "open");
    EXPECT_EQ(steps[9].text, "a b\\c.txt");
    EXPECT_EQ(steps[2].source, "click 1");
    for (const char* bad : {"type 1126", "click x", "select 1120 -1", "dialog", "press 1", "type 1 \"open",
                            "type 1 a b", "type 1 \"\\q\"", "keys", "back 1"}) {
        std::vector<UiStep> none;
        error.clear();
        EXPECT_FALSE(ParseUiScript(bad, &none, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_TRUE(none.empty()) << bad;
    }
    // A line end inside quotes is part of the text; the step as written
    // shows it as an escape, on one line, and reads back the same.
    std::vector<UiStep> typed, again;
    ASSERT_TRUE(ParseUiScript("type 1104 \"a\nb\"; click 1", &typed, &error)) << error;
    EXPECT_EQ(typed[0].text, "a\nb");
    EXPECT_EQ(typed[0].source, "type 1104 \"a\\nb\"");
    ASSERT_TRUE(ParseUiScript(typed[0].source, &again, &error)) << error;
    EXPECT_EQ(again[0].text, "a\nb");
    for (const char* bad : {"type 1 \"open\nclick 1\n", "\"fly\\naway\" 1", "panel\"\\n\"", "type 1 \"a\\\nb\""}) {
        again.clear();
        EXPECT_FALSE(ParseUiScript(bad, &again, &error)) << bad;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace orbalis::win32
