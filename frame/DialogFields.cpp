#include "frame/DialogFields.h"

#include <string>

#include "frame/HostSuites.h"
#include "support/NumberFormat.h"

namespace orbalis {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

ai::UnicodeString ReadTextField(HWND dialog, int id) {
    WCHAR buffer[kFieldUnits + 1] = {};
    UINT count = GetDlgItemTextW(dialog, id, buffer, kFieldUnits + 1);
    if (count > static_cast<UINT>(kFieldUnits)) count = kFieldUnits;
    // A high surrogate as the last unit taken has its partner beyond the
    // limit (or none): the character is dropped whole.
    if (count == static_cast<UINT>(kFieldUnits) && IsHighSurrogate(buffer[count - 1])) --count;
    ai::UnicodeString text;
    ai::Check(sUnicodeString->SetUTF16(text.handle(), reinterpret_cast<const uint16_t*>(buffer), count));
    return text;
}

void FillTextField(HWND dialog, int id, const ai::UnicodeString& text) {
    const std::u16string units = text.utf16();
    SetDlgItemTextW(dialog, id, units.c_str());
}

void FillTextFieldInCodePage(HWND dialog, int id, const ai::UnicodeString& text) {
    const std::u16string units = text.utf16();
    const int count = static_cast<int>(units.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, units.data(), count, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_ACP, 0, units.data(), count, bytes.data(), length, nullptr, nullptr);
    SetDlgItemTextA(dialog, id, bytes.c_str());
}

int32_t ReadNumberField(HWND dialog, int id) {
    char buffer[kFieldUnits + 1] = {};
    GetDlgItemTextA(dialog, id, buffer, kFieldUnits + 1);
    return parseInteger(buffer, sizeof buffer);
}

void FillNumberField(HWND dialog, int id, int32_t value) { SetDlgItemTextA(dialog, id, formatInteger(value).c_str()); }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableField(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

}  // namespace orbalis
