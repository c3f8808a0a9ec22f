#include "host/app/Host.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/app/Panels.h"
#include "host/app/PluginLibrary.h"
#include "host/app/PropertyList.h"
#include "host/io/JsonDocument.h"
#include "sdk/suites/MenuSuite.h"
#include "sdk/win32/Windows.h"

namespace orbalis::host {
namespace {

Host* gCurrent = nullptr;

// A private copy of the library, so that a reload maps the code afresh even
// while the earlier mapping stays in place.
std::string CopyForReload(const std::string& path, int counter, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec) / ("orbalis-plugins-" + std::to_string(getpid()));
    fs::create_directories(dir, ec);
    const fs::path copy = dir / (fs::path(path).stem().string() + "-" + std::to_string(counter) +
                                 fs::path(path).extension().string());
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        *error = "cannot copy " + path + ": " + ec.message();
        return {};
    }
    return copy.string();
}

}  // namespace

LoadedPlugin* LoadedPlugin::FromRef(HostPluginRef ref) {
    auto* plugin = reinterpret_cast<LoadedPlugin*>(ref);
    return plugin && plugin->magic_ == kLive ? plugin : nullptr;
}

// The application's main window: the owner of the plug-in's dialogs.
static HWND CreateMainWindow() {
    static const char16_t kClass[] = u"OrbalisHostFrame";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = WideText(kClass);
    RegisterClassExW(&wc);  // already there for a second host
    return CreateWindowExW(0, kClass, u"Orbalis", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 1280,
                           800, nullptr, nullptr, nullptr, nullptr);
}

Host::Host(HostOptions options)
    : options_(std::move(options)), preferences_(options_.preferencesPath) {
    previous_ = gCurrent;
    gCurrent = this;
    mainWindow_ = reinterpret_cast<HostWindow>(CreateMainWindow());
}

Host::~Host() {
    // Quitting shuts down the plug-ins still running before their libraries go.
    for (auto& plugin : plugins_)
        if (plugin->started_) {
            ShutdownPlugins();
            break;
        }
    for (auto& plugin : plugins_) {
        for (void* library : plugin->retired_) ClosePluginLibrary(library);
        if (plugin->library_) ClosePluginLibrary(plugin->library_);
        for (const auto& copy : plugin->privateCopies_) {
            std::error_code ignored;
            std::filesystem::remove(copy, ignored);
            // The folder of the copies goes once it is empty.
            std::filesystem::remove(std::filesystem::path(copy).parent_path(), ignored);
        }
        plugin->magic_ = 0;
    }
    documents_.clear();
    DestroyWindow(reinterpret_cast<HWND>(mainWindow_));
    gCurrent = previous_;
}

Host& Host::Current() { return *gCurrent; }
Host* Host::CurrentOrNull() { return gCurrent; }

void Host::OpenDocument(std::unique_ptr<Document> document) {
    if (!document) return;
    document->openSerial = nextDocumentSerial_++;
    documents_.push_back(std::move(document));
    current_ = documents_.size() - 1;
    Notify(kNotifierDocumentChanged);
}

std::unique_ptr<Document> Host::CloseDocument() {
    if (current_ >= documents_.size()) return nullptr;
    std::unique_ptr<Document> closed = std::move(documents_[current_]);
    documents_.erase(documents_.begin() + static_cast<std::ptrdiff_t>(current_));
    current_ = documents_.empty() ? 0 : documents_.size() - 1;
    Notify(kNotifierDocumentChanged);
    return closed;
}

bool Host::SwitchDocument(size_t index) {
    if (index >= documents_.size()) return false;
    if (index != current_) {
        current_ = index;
        Notify(kNotifierDocumentChanged);
    }
    return true;
}

HostWindow Host::mainWindow() const { return mainWindow_; }

HostErr Host::SetUIBrightness(double brightness) {
    brightness = brightness < 0 ? 0 : brightness > 1 ? 1 : brightness;
    if (brightness == uiBrightness_) return 0;
    uiBrightness_ = brightness;
    return Notify(kNotifierUIBrightnessChanged);
}

HostErr Host::MapLibrary(LoadedPlugin& plugin, const std::string& file, std::string* error) {
    // The property list says what the library is before any of its code runs.
    std::vector<win32::Resource> resources;
    PropertyList properties;
    std::string why;
    if (!ReadPluginResources(file, &resources, &why)) {
        *error = "plug-in " + file + " refused: " + why;
        return kHostBadParameterErr;
    }
    if (!CheckPropertyList(resources, &properties, &why)) {
        *error = "plug-in " + file + " refused: " + why;
        return kHostBadParameterErr;
    }
    void* library = OpenPluginLibrary(file, error);
    if (!library) return kHostBadParameterErr;
    void* entry = PluginSymbol(library, properties.entryPoint.c_str());
    if (!entry) {
        *error = "plug-in " + file + " has no " + properties.entryPoint + ", the entry point its property list names";
        ClosePluginLibrary(library);
        return kHostBadParameterErr;
    }
    plugin.library_ = library;
    plugin.main_ = reinterpret_cast<HostPluginMainProc>(entry);
    plugin.mapped_ = file;
    return 0;
}

LoadedPlugin* Host::LoadPlugin(const std::string& path, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    auto plugin = std::make_unique<LoadedPlugin>();
    plugin->path_ = path;
    if (MapLibrary(*plugin, path, error)) return nullptr;
    plugins_.push_back(std::move(plugin));
    return plugins_.back().get();
}

HostErr Host::Send(LoadedPlugin& plugin, const char* caller, const char* selector,
                   HostMessageData* message) {
    if (!plugin.library_) {
        if (HostErr err = ReloadPlugin(plugin)) return err;
    }
    message->checkWord = kHostMessageCheckWord;
    message->self = plugin.ref();
    message->globals = plugin.globals_;
    message->basic = BasicSuite();
    const HostErr result = plugin.main_(caller, selector, message);
    plugin.globals_ = message->globals;
    return result;
}

HostErr Host::Send(LoadedPlugin& plugin, const char* caller, const char* selector) {
    HostMessageData message{};
    return Send(plugin, caller, selector, &message);
}

HostErr Host::StartPlugins() {
    HostErr first = 0;
    for (auto& plugin : plugins_) {
        if (plugin->started_) continue;
        const HostErr err = Send(*plugin, kCallerInterface, kSelectorStartup);
        plugin->started_ = err == 0;
        if (err && !first) first = err;
    }
    if (HostErr err = Notify(kNotifierApplicationStarted); err && !first) first = err;
    // The plug-ins learn the document state they start in, and their panels
    // their size.
    Notify(kNotifierDocumentChanged);
    LayOutNewPanels();
    UpdateMenus();
    return first;
}

HostErr Host::ShutdownPlugins() {
    HostErr first = Notify(kNotifierApplicationShutdown);
    for (auto& plugin : plugins_) {
        if (!plugin->started_) continue;
        const HostErr err = Send(*plugin, kCallerInterface, kSelectorShutdown);
        plugin->started_ = false;
        if (err && !first) first = err;
    }
    return first;
}

HostErr Host::UnloadPlugin(LoadedPlugin& plugin) {
    if (!plugin.library_) return 0;
    const HostErr err = Send(plugin, kCallerAccess, kSelectorUnload);
    if (!plugin.locked()) {
        ClosePluginLibrary(plugin.library_);
        plugin.library_ = nullptr;
        plugin.main_ = nullptr;
    }
    return err;
}

HostErr Host::ReloadPlugin(LoadedPlugin& plugin) {
    std::string error;
    const std::string copy = CopyForReload(plugin.path_, ++reloadCounter_, &error);
    if (copy.empty()) return kHostBadParameterErr;
    plugin.privateCopies_.push_back(copy);
    void* previous = plugin.library_;
    if (MapLibrary(plugin, copy, &error)) {
        plugin.library_ = previous;
        return kHostBadParameterErr;
    }
    if (previous) plugin.retired_.push_back(previous);
    const HostErr err = Send(plugin, kCallerAccess, kSelectorReload);
    // Panels made again by the reloaded code are laid out as at start-up.
    LayOutNewPanels();
    return err;
}

HostErr Host::PurgePlugin(LoadedPlugin& plugin) { return Send(plugin, kCallerCache, kSelectorPurge); }

HostErr Host::AddNotifier(LoadedPlugin* owner, const std::string& name, const std::string& type,
                          Notifier** out) {
    if (!owner || name.empty() || type.empty()) return kHostBadParameterErr;
    notifiers_.push_back(std::make_unique<Notifier>(Notifier{owner, name, type}));
    if (out) *out = notifiers_.back().get();
    return 0;
}

HostErr Host::Notify(const std::string& type) {
    HostErr first = 0;
    // Notification handlers may add notifiers; walk by index.
    for (size_t i = 0; i < notifiers_.size(); ++i) {
        Notifier* n = notifiers_[i].get();
        if (n->type != type || !n->owner->started_) continue;
        HostNotifierMessage message{};
        message.notifier = reinterpret_cast<HostNotifier>(n);
        message.type = n->type.c_str();
        const HostErr err = Send(*n->owner, kCallerNotifier, kSelectorNotify, &message.d);
        if (err && !first) first = err;
    }
    return first;
}

void Host::UpdateMenus() {
    std::vector<MenuItem*> asked;
    for (const auto& group : menus_.groups())
        for (MenuItem* item : group->items)
            if ((item->options & kMenuItemWantsUpdate) && item->owner && item->owner->started_) {
                HostMenuMessage message{};
                message.menuItem = reinterpret_cast<HostMenuItem>(item);
                Send(*item->owner, kCallerMenu, kSelectorUpdate, &message.d);
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
    const HostErr result = Send(*item->owner, kCallerMenu, kSelectorGo, &message.d);
    user_.CloseProgress();
    // What the command changed decides whether it can be undone: renaming,
    // hiding or locking layers leaves the art's revision as it was.
    if (options_.keepUndo && chosenIn && document() == chosenIn && WriteJsonDocument(*chosenIn) != saved) {
        undo_ = {chosenIn->openSerial, item->text, std::move(saved)};
        ++undoGeneration_;
    }
    if (chosenIn && document() == chosenIn && chosenIn->revision() != before) {
        Notify(kNotifierArtSelectionChanged);
        Notify(kNotifierDocumentChanged);
    }
    return result;
}

bool Host::canUndo() const {
    if (undo_.saved.empty()) return false;
    for (const auto& d : documents_)
        if (d->openSerial == undo_.document) return true;
    return false;
}

bool Host::Undo(std::string* error) {
    if (!canUndo()) {
        *error = "there is nothing to undo";
        return false;
    }
    size_t index = 0;
    while (documents_[index]->openSerial != undo_.document) ++index;
    std::unique_ptr<Document> restored = ReadJsonDocument(undo_.saved, error);
    if (!restored) return false;
    const Document& now = *documents_[index];
    restored->openSerial = now.openSerial;
    restored->filePath = now.filePath;
    restored->viewCenter = now.viewCenter;
    documents_[index] = std::move(restored);
    undo_ = {};
    Notify(kNotifierArtSelectionChanged);
    Notify(kNotifierDocumentChanged);
    return true;
}

}  // namespace orbalis::host
