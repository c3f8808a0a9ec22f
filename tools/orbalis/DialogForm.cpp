#include "tools/orbalis/DialogForm.h"

#include <algorithm>
#include <iostream>

#include "host/win32/UserReach.h"

namespace orbalis::tools {
namespace {

std::string Text(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), n + 1)));
    return win32::Narrow(text);
}

// The kind of control a form line shows.
std::string KindOf(HWND window) {
    const std::u16string cls = win32::ClassOf(window);
    if (cls == u"EDIT") return "field";
    if (cls == u"COMBOBOX") return "list";
    if (cls == u"BUTTON") return "button";
    return "label";
}

std::string Describe(HWND control) {
    const int id = GetDlgCtrlID(control);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    const std::string kind = KindOf(control);
    std::string line = "  " + (id > 0 && id != 0xFFFF ? std::to_string(id) : std::string("-"));
    line.resize(8, ' ');
    const auto type = style & BS_TYPEMASK;
    const bool box = kind == "button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    const bool radio = kind == "button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
    const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (kind == "field") {
        line += "[" + Text(control) + "]";
        // What typing at the focus replaces: the dialog selects a field's
        // text when Tab brings the focus to it.
        DWORD start = 0, end = 0;
        SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (GetFocus() == control && end > start) {
            const std::u16string whole = win32::Widen(Text(control));
            line += "  (selected: \"" + win32::Narrow(whole.substr(start, end - start)) + "\")";
        }
    } else if (kind == "list") {
        const auto rows = SendMessageW(control, CB_GETCOUNT, 0, 0);
        const auto current = SendMessageW(control, CB_GETCURSEL, 0, 0);
        line += "list:";
        for (LRESULT r = 0; r < rows; ++r) {
            char16_t row[256] = {};
            if (SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(r), 0) < 255)
                SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(row));
            line += (r == current ? " *" : "  ") + std::to_string(r) + " " + win32::Narrow(row);
        }
    } else if (box) {
        line += std::string(checked ? "[x] " : "[ ] ") + Text(control);
    } else if (radio) {
        line += std::string(checked ? "(o) " : "( ) ") + Text(control);
    } else if (kind == "button" && type == BS_GROUPBOX) {
        line += "-- " + Text(control) + " --";
    } else if (kind == "button") {
        line += "<" + Text(control) + ">" + (type == BS_DEFPUSHBUTTON ? " (Enter)" : "");
    } else {
        line += Text(control);
    }
    if (!IsWindowEnabled(control)) line += "  (disabled)";
    return line;
}

}  // namespace

std::string DialogForm(HWND dialog) {
    std::string form = "== " + Text(dialog) + " ==\n";
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        form += Describe(child) + (GetFocus() == child ? "   <- focus" : "") + "\n";
        // A child dialog (a file dialog's chooser) shows its controls too.
        if (win32::DialogTemplateId(child))
            for (HWND inner = GetWindow(child, GW_CHILD); inner; inner = GetWindow(inner, GW_HWNDNEXT))
                if (IsWindowVisible(inner)) form += "  " + Describe(inner) + "\n";
    }
    return form;
}

namespace {

// The plug-in's controls of the dialog and their states, with the focus and
// each field's selection: for a file dialog, those of the plug-in's own
// template inside it, since the rest is the system's.
void AddState(HWND dialog, std::string* state) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (win32::DialogTemplateId(child)) {
            *state += "-- dialog " + std::to_string(win32::DialogTemplateId(child)) + "\n";
            AddState(child, state);
            continue;
        }
        if (!win32::DialogTemplateId(dialog)) continue;
        *state += Describe(child);
        if (!IsWindowVisible(child)) *state += "  (hidden)";
        if (KindOf(child) == "field") {
            DWORD start = 0, end = 0;
            SendMessageW(child, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            *state += "  sel " + std::to_string(start) + "-" + std::to_string(end);
        }
        if (GetFocus() == child) *state += "  <- focus";
        *state += "\n";
    }
}

}  // namespace

std::string DialogState(HWND dialog) {
    const std::string kind = win32::DialogKind(dialog);
    std::string state = "== " +
                        (kind.empty() ? "dialog " + std::to_string(win32::DialogTemplateId(dialog)) + " " + Text(dialog)
                                      : kind + " dialog") +
                        "\n";
    AddState(dialog, &state);
    return state;
}

bool TracingDialogUser::Act(HWND dialog) {
    out_ << DialogState(dialog) << std::flush;
    return inner_.Act(dialog);
}

bool ConsoleDialogUser::Act(HWND dialog) {
    const bool known = std::find(scripted_.begin(), scripted_.end(), dialog) != scripted_.end();
    if (known || script_.pendingSteps() > 0 || !interactive_) {
        if (!known) scripted_.push_back(dialog);
        return script_.Act(dialog);
    }
    // On a desktop the person uses the dialog itself.
    if (win32::DialogsShownOnDesktop()) return true;
    std::cerr
        << DialogForm(dialog)
        << "steps: type ID TEXT, keys TEXT, clear ID, click ID, select ID ROW, leave, back, enter, escape, file PATH; "
           "an empty line is enter, end of input cancels\n> "
        << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::cerr << "\n";
        return false;
    }
    if (line.find_first_not_of(" \t") == std::string::npos) line = "enter";
    std::vector<win32::UiStep> steps;
    std::string error;
    if (!win32::ParseUiScript(line, &steps, &error)) {
        std::cerr << "orbalis: " << error << "\n";
        return true;
    }
    for (const win32::UiStep& step : steps) {
        if (step.kind == win32::UiStep::Dialog) continue;
        error = win32::ScriptedUser::Perform(dialog, step);
        if (!error.empty()) {
            std::cerr << "orbalis: " << error << "\n";
            break;
        }
        if (!IsWindow(dialog)) break;
    }
    return true;
}

}  // namespace orbalis::tools
