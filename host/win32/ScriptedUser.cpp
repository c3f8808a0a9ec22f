#include "host/win32/ScriptedUser.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace orbalis::win32 {
namespace {

std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    const size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// Splits the script into steps of words; quoted words keep blanks and ';'.
bool Tokenize(const std::string& script, std::vector<std::vector<std::string>>* steps,
              std::vector<std::string>* sources, std::string* error) {
    std::vector<std::string> words;
    std::string word, source;
    bool inWord = false;
    auto endStep = [&] {
        if (inWord) words.push_back(word);
        word.clear();
        inWord = false;
        if (!words.empty()) {
            steps->push_back(words);
            sources->push_back(Trimmed(source));
        }
        words.clear();
        source.clear();
    };
    for (size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == ';' || c == '\n') {
            endStep();
            continue;
        }
        source.push_back(c);
        if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        if (c != '"') {
            word.push_back(c);
            inWord = true;
            continue;
        }
        inWord = true;
        for (++i;; ++i) {
            if (i >= script.size()) {
                *error = "unterminated quote in \"" + Trimmed(source) + "\"";
                return false;
            }
            const char q = script[i];
            // A line end inside quotes is kept as its escape, so that the
            // step as written stays on one line in messages.
            if (q == '\n')
                source += "\\n";
            else
                source.push_back(q);
            if (q == '"') break;
            if (q != '\\') {
                word.push_back(q);
                continue;
            }
            if (++i >= script.size()) {
                *error = "unterminated quote in \"" + Trimmed(source) + "\"";
                return false;
            }
            source.push_back(script[i]);
            switch (script[i]) {
            case 'n': word.push_back('\n'); break;
            case 't': word.push_back('\t'); break;
            case '"':
            case '\\': word.push_back(script[i]); break;
            default:
                *error = std::string("unknown escape \\") + script[i] + " in \"" + Trimmed(source) + "\"";
                return false;
            }
        }
    }
    endStep();
    return true;
}

bool Number(const std::string& word, int* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (*end || errno || v < -2147483647L || v > 2147483647L) return false;
    *value = static_cast<int>(v);
    return true;
}

// Splits "道路/国道" into its titles; "\/" is a slash inside a title.
std::vector<std::string> TreePath(const std::string& word) {
    std::vector<std::string> titles(1);
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '\\' && i + 1 < word.size() && word[i + 1] == '/') {
            titles.back().push_back('/');
            ++i;
        } else if (word[i] == '/') {
            titles.emplace_back();
        } else {
            titles.back().push_back(word[i]);
        }
    }
    return titles;
}

// Line ends in a message, from a quoted word, shown as their escape.
std::string OnOneLine(const std::string& message) {
    std::string shown;
    for (char c : message) {
        if (c == '\n')
            shown += "\\n";
        else
            shown.push_back(c);
    }
    return shown;
}

}  // namespace

bool ParseUiScript(const std::string& script, std::vector<UiStep>* out, std::string* error) {
    std::vector<std::vector<std::string>> steps;
    std::vector<std::string> sources;
    if (!Tokenize(script, &steps, &sources, error)) {
        *error = OnOneLine(*error);
        return false;
    }
    std::vector<UiStep> parsed;
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto& w = steps[i];
        UiStep step{};
        step.source = sources[i];
        auto bad = [&](const std::string& why) {
            *error = OnOneLine("\"" + step.source + "\": " + why);
            return false;
        };
        auto want = [&](size_t n, const char* usage) {
            return w.size() == n ? true : bad(std::string("expected ") + usage);
        };
        const std::string& verb = w[0];
        if (verb == "dialog") {
            if (!want(2, "dialog ID")) return false;
            step.kind = UiStep::Dialog;
            if (w[1] == "open" || w[1] == "save")
                step.dialog = w[1];
            else if (!Number(w[1], &step.id))
                return bad("a dialog is a number, open or save");
        } else if (verb == "type") {
            if (!want(3, "type ID TEXT")) return false;
            step.kind = UiStep::Type;
            step.text = w[2];
            if (!Number(w[1], &step.id)) return bad("the control id is not a number");
        } else if (verb == "keys") {
            if (!want(2, "keys TEXT")) return false;
            step.kind = UiStep::Keys;
            step.text = w[1];
        } else if (verb == "clear" || verb == "click") {
            if (!want(2, verb == "clear" ? "clear ID" : "click ID")) return false;
            step.kind = verb == "clear" ? UiStep::Clear : UiStep::Click;
            if (!Number(w[1], &step.id)) return bad("the control id is not a number");
        } else if (verb == "select") {
            if (!want(3, "select ID ROW")) return false;
            step.kind = UiStep::Select;
            if (!Number(w[1], &step.id)) return bad("the control id is not a number");
            if (!Number(w[2], &step.row) || step.row < 0) return bad("the row is not a number from 0");
        } else if (verb == "leave" || verb == "back" || verb == "enter" || verb == "escape") {
            if (!want(1, verb.c_str())) return false;
            step.kind = verb == "leave"   ? UiStep::Leave
                        : verb == "back"  ? UiStep::Back
                        : verb == "enter" ? UiStep::Enter
                                          : UiStep::Escape;
        } else if (verb == "file") {
            if (!want(2, "file PATH")) return false;
            step.kind = UiStep::File;
            step.text = w[1];
        } else if (verb == "panel") {
            if (w.size() < 2) return bad("expected panel TITLE");
            step.kind = UiStep::Panel;
            step.text = w[1];
            for (size_t k = 2; k < w.size(); ++k) step.text += " " + w[k];
        } else if (verb == "button" || verb == "document") {
            if (!want(2, verb == "button" ? "button N" : "document N")) return false;
            step.kind = verb == "button" ? UiStep::Button : UiStep::Document;
            if (!Number(w[1], &step.row) || step.row < 1) return bad("expected a number from 1");
        } else if (verb == "refresh" || verb == "check" || verb == "label" || verb == "tree-root" || verb == "show" ||
                   verb == "hide") {
            if (!want(1, verb.c_str())) return false;
            step.kind = verb == "refresh"     ? UiStep::Refresh
                        : verb == "check"     ? UiStep::Check
                        : verb == "label"     ? UiStep::Label
                        : verb == "tree-root" ? UiStep::TreeRoot
                        : verb == "show"      ? UiStep::Show
                                              : UiStep::Hide;
        } else if (verb == "tree" || verb == "tree-expander" || verb == "tree-indent") {
            if (w.size() < 2) return bad("expected " + verb + " TITLE/TITLE");
            std::string joined = w[1];
            for (size_t k = 2; k < w.size(); ++k) joined += " " + w[k];
            step.kind = verb == "tree"            ? UiStep::Tree
                        : verb == "tree-expander" ? UiStep::TreeExpander
                                                  : UiStep::TreeIndent;
            step.path = TreePath(joined);
        } else if (verb == "resize") {
            if (!want(3, "resize W H")) return false;
            step.kind = UiStep::Resize;
            if (!Number(w[1], &step.row) || !Number(w[2], &step.height) || step.row < 1 || step.height < 1)
                return bad("the size is two numbers from 1");
        } else {
            return bad("unknown step \"" + verb + "\"");
        }
        parsed.push_back(std::move(step));
    }
    out->insert(out->end(), parsed.begin(), parsed.end());
    return true;
}

void ScriptedUser::Add(std::vector<UiStep> steps) {
    steps_.insert(steps_.end(), std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
}

std::vector<std::string> ScriptedUser::pending() const {
    std::vector<std::string> out;
    for (size_t i = next_; i < steps_.size(); ++i) out.push_back(steps_[i].source);
    return out;
}

const UiStep* ScriptedUser::NextPanelStep() const {
    return next_ < steps_.size() && steps_[next_].atPanel() ? &steps_[next_] : nullptr;
}

bool ScriptedUser::Fail(std::string message) {
    errors_.push_back(std::move(message));
    return false;
}

bool ScriptedUser::Act(HWND dialog) {
    const int id = DialogTemplateId(dialog);
    const std::string kind = DialogKind(dialog);
    const std::string name = kind.empty() ? "dialog " + std::to_string(id) : "the " + kind + " dialog";
    matched_.erase(std::remove_if(matched_.begin(), matched_.end(), [](HWND h) { return !IsWindow(h); }),
                   matched_.end());
    const bool matched = std::find(matched_.begin(), matched_.end(), dialog) != matched_.end();
    if (!matched) {
        // A dialog has just opened: the script must say it expects it. When
        // it does not, the steps it has for the dialog it expects go too.
        if (next_ >= steps_.size()) return Fail(name + " opened, but the script has no steps left; it was cancelled");
        const UiStep& step = steps_[next_];
        if (step.kind != UiStep::Dialog || step.dialog != kind || (kind.empty() && step.id != id)) {
            const std::string message =
                name + " opened where the script expects \"" + step.source + "\"; it was cancelled";
            do ++next_;
            while (next_ < steps_.size() && steps_[next_].kind != UiStep::Dialog);
            return Fail(message);
        }
        ++next_;
        matched_.push_back(dialog);
        return true;
    }
    if (next_ >= steps_.size() || steps_[next_].kind == UiStep::Dialog || steps_[next_].atPanel())
        return Fail(name + " is still open at the end of its steps; it was cancelled");
    const UiStep& step = steps_[next_++];
    const std::string error = Perform(dialog, step);
    if (error.empty()) return true;
    // The rest of this dialog's steps go with it.
    const std::string source = step.source;
    while (next_ < steps_.size() && steps_[next_].kind != UiStep::Dialog) ++next_;
    return Fail(name + ": \"" + source + "\": " + error + "; the dialog was cancelled");
}

std::string ScriptedUser::Perform(HWND dialog, const UiStep& step) {
    switch (step.kind) {
    case UiStep::Type: return UserType(dialog, step.id, Widen(step.text));
    case UiStep::Clear: return UserClear(dialog, step.id);
    case UiStep::Click: return UserClick(dialog, step.id);
    case UiStep::Select: return UserSelect(dialog, step.id, step.row);
    case UiStep::Keys: return UserKeys(dialog, Widen(step.text));
    case UiStep::Leave: UserLeave(dialog); return {};
    case UiStep::Back: UserLeave(dialog, true); return {};
    case UiStep::Enter: UserEnter(dialog); return {};
    case UiStep::Escape: UserEscape(dialog); return {};
    case UiStep::File: return UserChooseFile(dialog, Widen(step.text));
    default: break;
    }
    return "unexpected step";
}

}  // namespace orbalis::win32
