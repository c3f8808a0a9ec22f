// The layer commands run through the loaded plug-in, their dialogs driven by
// the scripted user, with what the dialog showed recorded at each step.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/layers/LayerTreeFixture.h"
#include "tests/support/PluginHarness.h"

namespace orbalis::testing {

// One control of an open dialog as the user sees it.
struct ControlState {
    std::string text;  // UTF-8
    bool checked = false;
    bool enabled = false;
    bool focused = false;           // has the keyboard focus
    int selected = -1;              // a drop-down list's row
    std::vector<std::string> rows;  // a drop-down list's rows
};
using DialogState = std::map<int, ControlState>;

// Records the dialog before each of the user's steps, then lets the scripted
// user take it.
class WatchingUser : public win32::DialogUser {
public:
    explicit WatchingUser(win32::ScriptedUser* steps) : steps_(steps) {}
    bool Act(HWND dialog) override;
    std::vector<DialogState> seen;  // the controls, those of child dialogs included
    std::vector<std::string> captions;

private:
    win32::ScriptedUser* steps_;
};

class LayerCommandTest : public PluginTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the top-level layers, topmost first, from the document's one layer.
    void TopLevelTitles(const std::vector<std::string>& titles);
    std::vector<std::string> LayerTitles() const { return AllTitles(*host->document()); }
    // Runs the menu item with the steps for its dialog.
    HostErr Run(const std::string& item, const std::string& script);

    // Values in the preference store under the plug-in's section; the
    // optional is empty when the key is missing.
    std::optional<int32_t> StoredInteger(const char* key);
    std::optional<int32_t> StoredBoolean(const char* key);
    std::optional<std::string> StoredText(const char* key);
    void StoreInteger(const char* key, int32_t value);
    void StoreBoolean(const char* key, int32_t value);
    void StoreText(const char* key, const std::string& utf8);

    // The preference calls of the host's call log since the run began.
    std::vector<std::string> PreferenceCalls() const;

    // The dialog as it was before the user's first step.
    const DialogState& AtOpen() const;

    WatchingUser watcher{&ui};
};

inline constexpr HostErr kStop = HOST_FOURCC('S', 'T', 'O', 'P');
inline constexpr HostErr kFail = HOST_FOURCC('F', 'A', 'I', 'L');

}  // namespace orbalis::testing
