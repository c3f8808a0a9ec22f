#include "host/app/Host.h"

#include "host/app/Panels.h"
#include "host/io/JsonDocument.h"
#include "sdk/suites/MenuSuite.h"
#include "sdk/win32/Windows.h"

namespace orbalis::host {
namespace {

// The application's main window: the owner of the plug-in's dialogs.
HWND CreateMainWindow() {
    static const char16_t kClass[] = u"OrbalisHostFrame";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = WideText(kClass);
    RegisterClassExW(&wc);  // already there for a second host
    return CreateWindowExW(0, kClass, u"Orbalis", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 1280, 800, nullptr,
                           nullptr, nullptr, nullptr);
}

}  // namespace

Host::Host(HostOptions options) : options_(std::move(options)), preferences_(options_.preferencesPath) {
    previous_ = current_;
    current_ = this;
    mainWindow_ = reinterpret_cast<HostWindow>(CreateMainWindow());
}

Host::~Host() {
    // Quitting shuts down the plug-ins still running before their libraries go.
    if (loader_.anyStarted()) ShutdownPlugins();
    loader_.UnmapAll();
    documents_.Clear();
    DestroyWindow(reinterpret_cast<HWND>(mainWindow_));
    current_ = previous_;
}

HostWindow Host::mainWindow() const { return mainWindow_; }

HostErr Host::StartPlugins() {
    HostErr first = loader_.StartAll();
    if (HostErr err = notifiers_.Notify(kNotifierApplicationStarted); err && !first) first = err;
    notifiers_.Notify(kNotifierDocumentChanged);
    LayOutNewPanels();
    UpdateMenus();
    return first;
}

HostErr Host::ShutdownPlugins() {
    const HostErr first = notifiers_.Notify(kNotifierApplicationShutdown);
    const HostErr err = loader_.ShutdownAll();
    return first ? first : err;
}

void Host::UpdateMenus() {
    for (const auto& group : menus_.groups())
        for (MenuItem* item : group->items)
            if ((item->options & kMenuItemWantsUpdate) && item->owner && item->owner->started()) {
                HostMenuMessage message{};
                message.menuItem = reinterpret_cast<HostMenuItem>(item);
                loader_.Send(*item->owner, kCallerMenu, kSelectorUpdate, &message.d);
            }
    menus_.UpdateEnabling(document());
}

HostErr Host::ChooseMenuItem(MenuItem* item) {
    if (!menus_.IsItem(item) || !item->owner) return kHostBadParameterErr;
    menus_.UpdateEnabling(document());
    if (!item->enabled || item->isSeparator() || item->submenu) return kHostBadParameterErr;
    Document* const chosenIn = document();
    const uint64_t before = chosenIn ? chosenIn->revision() : 0;
    std::string saved;
    if (options_.keepUndo && chosenIn) saved = WriteJsonDocument(*chosenIn);
    HostMenuMessage message{};
    message.menuItem = reinterpret_cast<HostMenuItem>(item);
    const HostErr result = loader_.Send(*item->owner, kCallerMenu, kSelectorGo, &message.d);
    user_.CloseProgress();
    // What the command changed decides whether it can be undone: renaming,
    // hiding or locking layers leaves the art's revision as it was.
    if (options_.keepUndo && chosenIn && document() == chosenIn && WriteJsonDocument(*chosenIn) != saved)
        undo_.Keep(chosenIn->openSerial, item->text, std::move(saved));
    if (chosenIn && document() == chosenIn && chosenIn->revision() != before) {
        notifiers_.Notify(kNotifierArtSelectionChanged);
        notifiers_.Notify(kNotifierDocumentChanged);
    }
    return result;
}

}  // namespace orbalis::host
