#include "tests/layers/LayerCommandTest.h"

#include "host/text/Encoding.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {
namespace {

constexpr const char* kSection = "Nodra-Orbalis1.5";

std::string WindowText(HWND window) {
    char16_t buffer[512] = {};
    const int n = GetWindowTextW(window, buffer, 512);
    return host::utf16ToUtf8(std::u16string(buffer, static_cast<size_t>(n > 0 ? n : 0)));
}

// Records every control under `window`, descending into child dialogs such
// as a file dialog's own template.
void Record(HWND window, DialogState& state) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Record(child, state);
        const int id = GetDlgCtrlID(child);
        if (id <= 0) continue;
        ControlState& c = state[id];
        c.text = WindowText(child);
        c.checked = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
        c.enabled = IsWindowEnabled(child) != FALSE;
        c.focused = GetFocus() == child;
        c.selected = static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0));
        const auto rows = SendMessageW(child, CB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < rows; ++row) {
            char16_t buffer[512] = {};
            if (SendMessageW(child, CB_GETLBTEXTLEN, static_cast<WPARAM>(row), 0) >= 512) continue;
            SendMessageW(child, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer));
            c.rows.push_back(host::utf16ToUtf8(buffer));
        }
    }
}

}  // namespace

bool WatchingUser::Act(HWND dialog) {
    DialogState state;
    Record(dialog, state);
    seen.push_back(std::move(state));
    captions.push_back(WindowText(dialog));
    return steps_->Act(dialog);
}

void LayerCommandTest::SetUp() {
    PluginTest::SetUp();
    win32::SetDialogUser(&watcher);
}

void LayerCommandTest::TearDown() {
    win32::SetDialogUser(&ui);
    PluginTest::TearDown();
}

void LayerCommandTest::TopLevelTitles(const std::vector<std::string>& titles) {
    ASSERT_FALSE(titles.empty());
    layer->title = titles.back();
    for (size_t i = titles.size() - 1; i-- > 0;) AddLayer(doc(), titles[i]);
}

HostErr LayerCommandTest::Run(const std::string& item, const std::string& script) {
    watcher.seen.clear();
    Ui(script);
    host::Faults::KeepCallLog();
    return Choose(item);
}

std::optional<int32_t> LayerCommandTest::StoredInteger(const char* key) {
    int32_t value = 0;
    if (host->preferences().getInteger(kSection, key, &value) != 0) return std::nullopt;
    return value;
}

std::optional<int32_t> LayerCommandTest::StoredBoolean(const char* key) {
    int32_t value = 0;
    if (host->preferences().getBoolean(kSection, key, &value) != 0) return std::nullopt;
    return value;
}

std::optional<std::string> LayerCommandTest::StoredText(const char* key) {
    std::string value;
    if (host->preferences().getText(kSection, key, &value) != 0) return std::nullopt;
    return value;
}

void LayerCommandTest::StoreInteger(const char* key, int32_t value) {
    ASSERT_EQ(host->preferences().putInteger(kSection, key, value), 0);
}

void LayerCommandTest::StoreBoolean(const char* key, int32_t value) {
    ASSERT_EQ(host->preferences().putBoolean(kSection, key, value), 0);
}

void LayerCommandTest::StoreText(const char* key, const std::string& utf8) {
    ASSERT_EQ(host->preferences().putText(kSection, key, utf8), 0);
}

std::vector<std::string> LayerCommandTest::PreferenceCalls() const {
    std::vector<std::string> calls;
    for (const std::string& call : host::Faults::CallLog())
        if (call.find("Preference ") != std::string::npos) calls.push_back(call);
    return calls;
}

const DialogState& LayerCommandTest::AtOpen() const {
    static const DialogState none;
    EXPECT_FALSE(watcher.seen.empty()) << "no dialog was shown";
    return watcher.seen.empty() ? none : watcher.seen.front();
}

}  // namespace orbalis::testing
