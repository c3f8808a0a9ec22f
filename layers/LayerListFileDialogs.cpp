#include "layers/LayerListFileDialogs.h"

#include <cstring>
#include <string>
#include <vector>

#include "frame/DialogRunner.h"

namespace orbalis {
namespace {

// The encoding picked when the user confirmed a file, handed from the
// chooser's hook to ChooseListFile; one file dialog is open at a time.
TextEncoding gChosenEncoding = ShiftJis;

// Room for the chosen path in the system's multibyte code page, where a
// Japanese character takes three bytes.
constexpr size_t kPathBytes = 4096;

struct EncodingRow {
    const char16_t* text;
    TextEncoding value;
};
constexpr EncodingRow kEncodingRows[] = {{u"シフトJIS", ShiftJis}, {u"UTF-8", Utf8}, {u"UTF-16", Utf16}};

// Caption and pattern pairs in the system's multibyte code page, each ended
// by a zero, the list by another.
std::string FilterText(const ListFileDialog& dialog) {
    std::string text;
    for (const auto& [caption, pattern] : dialog.filters) {
        text += ai::UnicodeString(caption).encoded(kHostEncodingPlatform);
        text += '\0';
        text += ai::UnicodeString(pattern).encoded(kHostEncodingPlatform);
        text += '\0';
    }
    text += '\0';
    return text;
}

}  // namespace

UINT_PTR CALLBACK EncodingChooserHook(HWND chooser, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        for (const EncodingRow& row : kEncodingRows) {
            const LRESULT at =
                SendDlgItemMessageW(chooser, kEncodingListId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text));
            if (at >= 0)
                SendDlgItemMessageW(chooser, kEncodingListId, CB_SETITEMDATA, static_cast<WPARAM>(at), row.value);
        }
        SendDlgItemMessageW(chooser, kEncodingListId, CB_SETCURSEL, 0, 0);
        // The focus stays on the file name field, where the file dialog put
        // it: TRUE would have the dialog manager give it to the encoding
        // list, where a name typed at once would pick a row.
        return FALSE;
    }
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_FILEOK) {
        const LRESULT row = SendDlgItemMessageW(chooser, kEncodingListId, CB_GETCURSEL, 0, 0);
        if (row != CB_ERR)
            gChosenEncoding = static_cast<TextEncoding>(
                SendDlgItemMessageW(chooser, kEncodingListId, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
        return FALSE;  // the file is taken
    }
    return FALSE;
}

HostErr ChooseListFile(HostPluginRef plugin, const ListFileDialog& dialog, ai::FilePath& file, TextEncoding& encoding) {
    DialogHost host;
    if (FindDialogHost(plugin, &host) || !host.module) return kCanceled;

    std::vector<char> path(kPathBytes, '\0');
    // A name too long for the buffer is not offered rather than offered cut.
    const std::string initialName = dialog.initialName.encoded(kHostEncodingPlatform);
    if (initialName.size() < path.size()) std::memcpy(path.data(), initialName.data(), initialName.size());
    const std::string filter = FilterText(dialog);
    const std::string title = ai::UnicodeString(dialog.title).encoded(kHostEncodingPlatform);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = host.owner;
    ofn.hInstance = host.module;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = dialog.initialFolder.empty() ? nullptr : dialog.initialFolder.c_str();
    ofn.lpstrTitle = title.c_str();
    // The saving command asks before overwriting itself, so the system does not.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK |
                OFN_ENABLETEMPLATE | (dialog.save ? 0 : OFN_FILEMUSTEXIST);
    ofn.lpstrDefExt = dialog.defaultExtension.c_str();
    ofn.lpfnHook = EncodingChooserHook;
    ofn.lpTemplateName = MAKEINTRESOURCEA(kEncodingChooserId);

    gChosenEncoding = ShiftJis;
    const BOOL chosen = dialog.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return kCanceled;
    file = ai::FilePath::FromPlatform(path.data());
    encoding = gChosenEncoding;
    return 0;
}

INT_PTR CALLBACK RestoreKindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const int32_t kind = *reinterpret_cast<int32_t*>(lParam);
        CheckRadioButton(dialog, kRenameExistingRadio, kCreateNewRadio,
                         kind == RenameExisting ? kRenameExistingRadio : kCreateNewRadio);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            auto* kind = reinterpret_cast<int32_t*>(GetWindowLongPtrW(dialog, DWLP_USER));
            *kind = IsDlgButtonChecked(dialog, kRenameExistingRadio) == BST_CHECKED ? RenameExisting : CreateNew;
            EndDialog(dialog, 0);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, kCanceled); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

HostErr ChooseRestoreKind(HostPluginRef plugin, int32_t& kind) {
    int32_t edited = kind;
    if (HostErr err = RunDialog(plugin, kRestoreKindDialogId, RestoreKindDialogProc, &edited)) return err;
    kind = edited;
    return 0;
}

}  // namespace orbalis
