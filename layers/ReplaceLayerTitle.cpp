#include "layers/ReplaceLayerTitle.h"

#include "frame/DialogRunner.h"
#include "frame/HostSuites.h"
#include "frame/UserAlerts.h"
#include "frame/DialogFields.h"
#include "layers/LayerTargets.h"
#include "frame/SettingKeys.h"
#include "resources/ResourceIds.h"

namespace orbalis {
namespace {

enum : int {
    kReplaceRadio = IDC_RT_REPLACE,
    kSearchField = IDC_RT_SEARCH,
    kReplaceField = IDC_RT_REPLACEMENT,
    kInsertRadio = IDC_RT_INSERT,
    kInsertField = IDC_RT_INSERTION,
    kAtHeadRadio = IDC_RT_AT_HEAD,
    kAtTailRadio = IDC_RT_AT_TAIL,
    kDeleteNumberRadio = IDC_RT_DELETE_NUMBER,
    kDeleteUpToRadio = IDC_RT_DELETE_UP_TO,
    kDelimiterField = IDC_RT_DELIMITER,
    kWithDelimiterBox = IDC_RT_WITH_DELIMITER,
};

// The operation buttons, in the order of the ReplaceType values.
constexpr int kOperationRadios[] = {kReplaceRadio, kInsertRadio, kDeleteNumberRadio, kDeleteUpToRadio};

// The record the open dialog edits; one dialog is open at a time.
ReplaceLayerTitleSettings* gEditing = nullptr;

void ApplyEnabling(HWND dialog) {
    const bool replace = IsChecked(dialog, kReplaceRadio);
    EnableField(dialog, kSearchField, replace);
    EnableField(dialog, kReplaceField, replace);
    const bool insert = IsChecked(dialog, kInsertRadio);
    EnableField(dialog, kInsertField, insert);
    EnableField(dialog, kAtHeadRadio, insert);
    EnableField(dialog, kAtTailRadio, insert);
    const bool deleteUpTo = IsChecked(dialog, kDeleteUpToRadio);
    EnableField(dialog, kDelimiterField, deleteUpTo);
    EnableField(dialog, kWithDelimiterBox, deleteUpTo);
}

// The operation buttons are one group spread over the box: a click checks
// the one clicked and clears the others.
void CheckOperation(HWND dialog, int chosen) {
    for (int id : kOperationRadios) SetChecked(dialog, id, id == chosen);
}

void FillDialog(HWND dialog, const ReplaceLayerTitleSettings& s) {
    FillTargetControls(dialog, s.destLayerKind, s.visibleLayersOnly);
    // A stored operation outside the four checks none of them.
    for (int32_t type = 0; type < 4; ++type) SetChecked(dialog, kOperationRadios[type], s.replaceType == type);
    FillTextField(dialog, kSearchField, s.searchString);
    FillTextField(dialog, kReplaceField, s.replaceString);
    FillTextField(dialog, kInsertField, s.insertString);
    SetChecked(dialog, kAtHeadRadio, s.insertPos == 0);
    SetChecked(dialog, kAtTailRadio, s.insertPos == 1);
    FillTextField(dialog, kDelimiterField, s.delimiter);
    SetChecked(dialog, kWithDelimiterBox, s.deleteWithDelimiter != 0);
    ApplyEnabling(dialog);
}

void ReadDialog(HWND dialog, ReplaceLayerTitleSettings& s) {
    ReadTargetControls(dialog, &s.destLayerKind, &s.visibleLayersOnly);
    for (int32_t type = 0; type < 4; ++type) {
        if (IsChecked(dialog, kOperationRadios[type])) {
            s.replaceType = type;
            break;
        }
    }
    s.searchString = ReadTextField(dialog, kSearchField);
    s.replaceString = ReadTextField(dialog, kReplaceField);
    s.insertString = ReadTextField(dialog, kInsertField);
    s.insertPos = IsChecked(dialog, kAtHeadRadio) ? 0 : 1;
    s.delimiter = ReadTextField(dialog, kDelimiterField);
    s.deleteWithDelimiter = IsChecked(dialog, kWithDelimiterBox) ? 1 : 0;
}

// The message for the chosen operation's empty field; null when the record
// can be used.
const char* Invalid(const ReplaceLayerTitleSettings& s) {
    switch (s.replaceType) {
    case ReplaceOccurrences: return s.searchString.empty() ? "検索文字列を入力してください" : nullptr;
    case InsertText: return s.insertString.empty() ? "挿入文字列を入力してください" : nullptr;
    case DeleteUpToString: return s.delimiter.empty() ? "指定文字列を入力してください" : nullptr;
    default: return nullptr;
    }
}

bool IsDigit(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'\uFF10' && c <= U'\uFF19'); }

}  // namespace

INT_PTR CALLBACK ReplaceLayerTitleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleDialogMessage(dialog, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            gEditing = reinterpret_cast<ReplaceLayerTitleSettings*>(lParam);
            FillDialog(dialog, *gEditing);
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            switch (id) {
            case kReplaceRadio:
            case kInsertRadio:
            case kDeleteNumberRadio:
            case kDeleteUpToRadio:
                if (HIWORD(wParam) == BN_CLICKED) {
                    CheckOperation(dialog, id);
                    ApplyEnabling(dialog);
                }
                return TRUE;
            case IDOK:
                ReadDialog(dialog, *gEditing);
                if (const char* message = Invalid(*gEditing)) {
                    // The dialog stays open with what the user typed.
                    ShowAlert(message);
                    return TRUE;
                }
                EndDialog(dialog, 0);
                return TRUE;
            case IDCANCEL: EndDialog(dialog, kCanceled); return TRUE;
            }
            return FALSE;
        }
        case WM_DESTROY: gEditing = nullptr; return FALSE;
        }
        return FALSE;
    });
}

ai::UnicodeString EditTitle(const ai::UnicodeString& title, const ReplaceLayerTitleSettings& s) {
    ai::UnicodeString t(title);
    switch (s.replaceType) {
    case ReplaceOccurrences: {
        // An empty search text would be found everywhere without end.
        if (s.searchString.empty() || s.searchString.compare(s.replaceString) == 0) break;
        const size_t searchLength = s.searchString.characterCount();
        const size_t replaceLength = s.replaceString.characterCount();
        // The search goes on behind each replacement, so text a replacement
        // put in is never searched again.
        for (size_t p = t.find(s.searchString, 0); p != ai::UnicodeString::npos;
             p = t.find(s.searchString, p + replaceLength)) {
            ai::UnicodeString rebuilt = t.substr(0, p);
            rebuilt.append(s.replaceString).append(t.substr(p + searchLength));
            t.assign(rebuilt);
        }
        break;
    }
    case InsertText:
        if (s.insertPos == 0) {
            ai::UnicodeString inserted(s.insertString);
            t.assign(inserted.append(t));
        } else {
            t.append(s.insertString);
        }
        break;
    case DeleteLeadingNumber: {
        const size_t count = t.characterCount();
        size_t digits = 0;
        while (digits < count && IsDigit(t.characterAt(digits))) ++digits;
        t.erase(0, digits);
        break;
    }
    case DeleteUpToString: {
        const size_t p = t.find(s.delimiter, 0);
        if (p == ai::UnicodeString::npos) break;
        t.erase(0, s.deleteWithDelimiter ? p + s.delimiter.characterCount() : p);
        break;
    }
    default: break;
    }
    return t;
}

std::array<SettingKey, 9> CReplaceLayerTitle::Keys() {
    return {
        IntegerKey("RL_DestLayerKind", settings_.destLayerKind),
        BooleanKey("RL_VisibleLayersOnly", settings_.visibleLayersOnly),
        IntegerKey("RL_ReplaceType", settings_.replaceType),
        TextKey("RL_SearchString", settings_.searchString),
        TextKey("RL_ReplaceString", settings_.replaceString),
        TextKey("RL_InsertString", settings_.insertString),
        IntegerKey("RL_InsertPos", settings_.insertPos),
        TextKey("RL_Delimiter", settings_.delimiter),
        BooleanKey("RL_DeleteWithDelimiter", settings_.deleteWithDelimiter),
    };
}

HostErr CReplaceLayerTitle::Run() {
    ReadSettingKeys(Keys());
    if (HostErr err = RunDialog(pluginRef_, kReplaceLayerTitleDialogId, ReplaceLayerTitleDialogProc, &settings_))
        return err;
    WriteSettingKeys(Keys());
    return ForEachTargetLayer(settings_.destLayerKind, settings_.visibleLayersOnly,
                              [this](HostLayer layer) { return ReplaceTitle(layer); });
}

HostErr CReplaceLayerTitle::ReplaceTitle(HostLayer layer) const {
    ai::UnicodeString title;
    if (HostErr err = sLayer->GetLayerTitle(layer, title.handle())) return err;
    const ai::UnicodeString edited = EditTitle(title, settings_);
    return sLayer->SetLayerTitle(layer, edited.handle());
}

}  // namespace orbalis
