// Reading and filling the fields of the commands' dialogs.
#pragma once

#include <cstdint>

#include "frame/HostError.h"
#include "frame/UnicodeString.h"
#include "sdk/win32/Windows.h"

namespace orbalis {

// Text and number fields hold at most this many UTF-16 code units when read.
inline constexpr int kFieldUnits = 47;

// The field's text as Unicode, at most kFieldUnits code units of it; a
// surrogate pair that would be cut in half at the limit is left out whole.
ai::UnicodeString ReadTextField(HWND dialog, int id);
void FillTextField(HWND dialog, int id, const ai::UnicodeString& text);
// Fills the field with the text converted to the system's multibyte code
// page, as the ANSI window functions take it.
void FillTextFieldInCodePage(HWND dialog, int id, const ai::UnicodeString& text);

// A number field: decimal text, parsed as a 32-bit integer (leading blanks,
// an optional sign, digits; no digits give 0; values beyond the range give
// the nearest limit).
int32_t ReadNumberField(HWND dialog, int id);
void FillNumberField(HWND dialog, int id, int32_t value);

bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);
void EnableField(HWND dialog, int id, bool enabled);

// Runs a dialog procedure's handling of one message. A host error thrown
// from it ends the dialog with that code, so it reaches the command.
template <class Body>
INT_PTR HandleDialogMessage(HWND dialog, Body&& body) {
    try {
        return body();
    } catch (const ai::Error& e) {
        EndDialog(dialog, e.code);
        return TRUE;
    }
}

}  // namespace orbalis
