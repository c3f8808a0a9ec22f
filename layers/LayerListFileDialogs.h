// The dialogs of the layer-name list commands: the system file dialog with
// the encoding chooser below its own controls, and the loading command's
// choice between renaming the existing layers and creating new ones.
#pragma once

#include "frame/FilePath.h"
#include "layers/LayerListFile.h"
#include "resources/ResourceIds.h"
#include "sdk/HostMessages.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

inline constexpr int kEncodingChooserId = IDD_ENCODING_CHOOSER;
inline constexpr int kRestoreKindDialogId = IDD_RESTORE_KIND;
inline constexpr int kEncodingListId = IDC_ENCODING_LIST;
inline constexpr int kRenameExistingRadio = IDC_RENAME_EXISTING;
inline constexpr int kCreateNewRadio = IDC_CREATE_NEW;

// Shows the save or open dialog that `dialog` describes, owned by the host's
// main window. 0 with the chosen file and the encoding picked in the chooser
// (Shift-JIS unless the user picked another); kCanceled when no file was
// chosen, the dialog could not be shown included.
HostErr ChooseListFile(HostPluginRef plugin, const ListFileDialog& dialog, ai::FilePath& file, TextEncoding& encoding);

// Dialog 128 on `kind`: 0 after OK with the choice in `kind` (0 for
// renaming, 1 for creating); kCanceled after cancel, `kind` untouched; a
// failing host call's code.
HostErr ChooseRestoreKind(HostPluginRef plugin, int32_t& kind);

UINT_PTR CALLBACK EncodingChooserHook(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RestoreKindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orbalis
