// The common file dialogs with the encoding chooser below them: the hook's
// initialisation and file-OK notification, the scripted `file` step, and the
// checks the dialog makes before it takes a name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/app/Host.h"
#include "host/win32/Driver.h"
#include "host/win32/ScriptedUser.h"

namespace orbalis::win32 {
namespace {

namespace fs = std::filesystem;

struct HookLog {
    LPARAM initParam = 0;
    int fileOks = 0;
    std::string notifiedFile;
    LPARAM chosenValue = -1;
    bool refuse = false;
};

// The chooser's hook: fills the encoding list, and takes the chosen row's
// value when the user confirms a file.
UINT_PTR CALLBACK ChooserHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
        auto* log = reinterpret_cast<HookLog*>(ofn->lCustData);
        log->initParam = lParam;
        const std::pair<const char16_t*, LPARAM> rows[] = {{u"シフトJIS", 17}, {u"UTF-8", 1}, {u"UTF-16", 2}};
        for (const auto& [text, value] : rows) {
            const auto at = SendDlgItemMessageW(child, 1131, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendDlgItemMessageW(child, 1131, CB_SETITEMDATA, static_cast<WPARAM>(at), value);
        }
        SendDlgItemMessageW(child, 1131, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_FILEOK) {
        const auto* note = reinterpret_cast<OFNOTIFYA*>(lParam);
        auto* log = reinterpret_cast<HookLog*>(note->lpOFN->lCustData);
        ++log->fileOks;
        log->notifiedFile = note->pszFile;
        const auto row = SendDlgItemMessageW(child, 1131, CB_GETCURSEL, 0, 0);
        log->chosenValue = SendDlgItemMessageW(child, 1131, CB_GETITEMDATA, static_cast<WPARAM>(row), 0);
        if (log->refuse) {
            SetWindowLongPtrW(child, DWLP_MSGRESULT, 1);
            return TRUE;
        }
    }
    return FALSE;
}

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_NE(host.loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        module = GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH);
        dir = fs::temp_directory_path() / ("orbalis-files-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        SetDialogUser(&user);
        windows = LiveWindows();
    }
    void TearDown() override {
        SetDialogUser(nullptr);
        fs::remove_all(dir);
        EXPECT_EQ(LiveWindows(), windows);
    }

    void Script(const std::string& text) {
        std::vector<UiStep> steps;
        std::string error;
        ASSERT_TRUE(ParseUiScript(text, &steps, &error)) << error;
        user.Add(std::move(steps));
    }

    OPENFILENAMEA Request(bool open) {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = reinterpret_cast<HWND>(host.mainWindow());
        ofn.hInstance = module;
        ofn.lpstrFilter = "テキスト (*.txt)\0*.txt\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = folder.c_str();
        ofn.lpstrTitle = "レイヤー名リストを保存";
        ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK |
                    OFN_ENABLETEMPLATE | (open ? OFN_FILEMUSTEXIST : 0);
        ofn.lpstrDefExt = "txt";
        ofn.lCustData = reinterpret_cast<LPARAM>(&log);
        ofn.lpfnHook = ChooserHook;
        ofn.lpTemplateName = MAKEINTRESOURCEA(127);
        return ofn;
    }

    host::Host host;
    HINSTANCE module = nullptr;
    ScriptedUser user;
    HookLog log;
    fs::path dir;
    std::string folder;
    char file[260] = "layers";
    int windows = 0;
};

TEST_F(FileDialogTest, TheHookFillsTheChooserAndTakesTheEncodingAtFileOk) {
    folder = dir.string();
    OPENFILENAMEA ofn = Request(false);
    Script("dialog save; select 1131 1; file 地図のレイヤー");
    ASSERT_TRUE(GetSaveFileNameA(&ofn)) << CommDlgExtendedError();
    const std::string expected = (dir / "地図のレイヤー.txt").string();
    EXPECT_EQ(std::string(file), expected);
    EXPECT_EQ(std::string(file + ofn.nFileOffset), "地図のレイヤー.txt");
    EXPECT_EQ(std::string(file + ofn.nFileExtension), "txt");
    EXPECT_EQ(log.initParam, reinterpret_cast<LPARAM>(&ofn));
    EXPECT_EQ(log.fileOks, 1);
    EXPECT_EQ(log.notifiedFile, expected);
    EXPECT_EQ(log.chosenValue, 1);
    EXPECT_TRUE(user.errors().empty());
}

TEST_F(FileDialogTest, OpeningAMissingFileIsRefusedAndTheScriptSaysSo) {
    folder = dir.string();
    OPENFILENAMEA ofn = Request(true);
    Script("dialog open; file missing.txt");
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u) << "cancelled, not failed";
    ASSERT_EQ(user.errors().size(), 1u);
    EXPECT_NE(user.errors()[0].find("does not exist"), std::string::npos) << user.errors()[0];
    EXPECT_EQ(log.fileOks, 0) << "the hook hears only of names the dialog takes";

    std::ofstream(dir / "there.txt") << "A\n";
    Script("dialog open; file there.txt");
    EXPECT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(log.chosenValue, 17) << "the first row stays chosen";
}

TEST_F(FileDialogTest, AHookThatRefusesKeepsTheDialogOpen) {
    folder = dir.string();
    OPENFILENAMEA ofn = Request(false);
    log.refuse = true;
    Script("dialog save; file a.txt");
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(log.fileOks, 1);
    ASSERT_EQ(user.errors().size(), 1u);
    EXPECT_NE(user.errors()[0].find("own check refused"), std::string::npos) << user.errors()[0];
}

TEST_F(FileDialogTest, AScriptForAnotherDialogOrATooSmallBufferFails) {
    folder = dir.string();
    OPENFILENAMEA ofn = Request(false);
    Script("dialog open; file a.txt");
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    ASSERT_EQ(user.errors().size(), 1u);
    EXPECT_NE(user.errors()[0].find("the save dialog opened"), std::string::npos) << user.errors()[0];

    ofn.nMaxFile = 8;
    Script("dialog save; file a-rather-long-name.txt");
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_NE(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace orbalis::win32
