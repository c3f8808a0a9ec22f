// The stand-in host application: one open document, the menus, notifiers,
// preferences and user, the suites it publishes, and the plug-ins it loads.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/app/Menus.h"
#include "host/app/User.h"
#include "host/model/Document.h"
#include "host/prefs/PreferenceStore.h"
#include "host/app/HostKinds.h"
#include "sdk/HostMessages.h"

namespace orbalis::host {

// A plug-in library as the host loaded it.
class LoadedPlugin {
public:
    HostPluginRef ref() { return reinterpret_cast<HostPluginRef>(this); }
    static LoadedPlugin* FromRef(HostPluginRef ref);

    const std::string& path() const { return path_; }          // the installed file
    const std::string& mappedPath() const { return mapped_; }  // the file now mapped
    const std::string& name() const { return name_; }
    bool started() const { return started_; }
    bool mapped() const { return library_ != nullptr; }
    bool locked() const { return accessCount_ > 0; }
    int32_t accessCount() const { return accessCount_; }
    void* globals() const { return globals_; }
    void* library() const { return library_; }

private:
    friend class Host;
    friend struct HostSuiteAccess;
    static constexpr uint32_t kLive = 0x504C5547;  // "PLUG"
    uint32_t magic_ = kLive;
    std::string path_;
    std::string mapped_;
    std::string name_;
    void* library_ = nullptr;
    HostPluginMainProc main_ = nullptr;
    void* globals_ = nullptr;
    int32_t accessCount_ = 0;
    bool started_ = false;
    std::vector<void*> retired_;             // earlier mappings kept while locked
    std::vector<std::string> privateCopies_;  // files mapped by reloads
};

struct Notifier {
    LoadedPlugin* owner;
    std::string name;
    std::string type;
};

struct HostOptions {
    // The preference file; empty keeps preferences in memory only.
    std::string preferencesPath;
    // Keep the document as it was before each menu command that changes it,
    // so that the command can be undone.
    bool keepUndo = false;
};

class Host {
public:
    explicit Host(HostOptions options = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host whose suites are being served; the most recently made.
    static Host& Current();
    static Host* CurrentOrNull();

    // ---- Documents. Several may be open; one of them is current, and the
    // suites work on it. Opening, switching and closing send the
    // document-changed notification.
    Document* document() { return current_ < documents_.size() ? documents_[current_].get() : nullptr; }
    // Adds the document and makes it current.
    void OpenDocument(std::unique_ptr<Document> document);
    // Closes the current document; the one opened last of the others becomes
    // current.
    std::unique_ptr<Document> CloseDocument();
    size_t documentCount() const { return documents_.size(); }
    Document* documentAt(size_t index) { return index < documents_.size() ? documents_[index].get() : nullptr; }
    size_t currentDocumentIndex() const { return current_; }
    // Makes the index-th open document (from 0) current; false when there is
    // no such document.
    bool SwitchDocument(size_t index);

    // ---- Parts.
    User& user() { return user_; }
    MenuBar& menus() { return menus_; }
    PreferenceStore& preferences() { return preferences_; }
    const std::vector<std::unique_ptr<Notifier>>& notifiers() const { return notifiers_; }
    HostWindow mainWindow() const;

    // ---- User-interface theme: the brightness of the host's panels, from 0
    // (black) to 1 (white); below one half the interface counts as dark.
    double uiBrightness() const { return uiBrightness_; }
    bool uiIsDark() const { return uiBrightness_ < 0.5; }
    // Sets the brightness and, when it changed, sends the brightness
    // notification.
    HostErr SetUIBrightness(double brightness);

    // ---- Plug-ins.
    // Maps the plug-in library and finds its entry point; nothing is sent yet.
    LoadedPlugin* LoadPlugin(const std::string& path, std::string* error);
    LoadedPlugin* plugin() const { return plugins_.empty() ? nullptr : plugins_.front().get(); }
    const std::vector<std::unique_ptr<LoadedPlugin>>& plugins() const { return plugins_; }
    // Sends the start-up message to every loaded plug-in, then the
    // application-started notification. Returns the first non-zero code.
    HostErr StartPlugins();
    // Sends the application-shutdown notification, then the shutdown message.
    HostErr ShutdownPlugins();
    // Sends a message; the record is filled with the plug-in's reference,
    // globals and the basic suite, and the globals it leaves are kept.
    HostErr Send(LoadedPlugin& plugin, const char* caller, const char* selector,
                 HostMessageData* message);
    HostErr Send(LoadedPlugin& plugin, const char* caller, const char* selector);
    // The library is told it is unloaded, and unmapped unless it is locked.
    HostErr UnloadPlugin(LoadedPlugin& plugin);
    // Maps a fresh copy of the library (its code at new addresses) and sends
    // the reload message to it.
    HostErr ReloadPlugin(LoadedPlugin& plugin);
    HostErr PurgePlugin(LoadedPlugin& plugin);

    // ---- Menus and notifications.
    // Asks owners of items that want it to update them, then applies the
    // automatic enabling.
    void UpdateMenus();
    // Chooses an item: sends "AI Go" to its owner, then tells notifiers about
    // a changed selection or document. A disabled item is refused.
    HostErr ChooseMenuItem(MenuItem* item);
    HostErr Notify(const std::string& type);

    // ---- Undo of the last menu command that changed a document (with
    // HostOptions::keepUndo). Undo puts that document back as it was before
    // the command, keeping its file and its place among the open documents,
    // and sends the document-changed notification; false, with the reason,
    // when there is nothing to undo.
    bool canUndo() const;
    const std::string& undoCommand() const { return undo_.command; }
    // The open serial of the document the undo puts back.
    uint64_t undoDocument() const { return undo_.document; }
    // Counts the commands that left something to undo: it changes exactly
    // when a command replaces what Undo would put back.
    uint64_t undoGeneration() const { return undoGeneration_; }
    bool Undo(std::string* error);

    // ---- Bookkeeping the suites use.
    HostErr AddNotifier(LoadedPlugin* owner, const std::string& name, const std::string& type,
                        Notifier** out);
    std::map<std::string, int> heldSuites;  // acquisitions minus releases, by suite name
    // The strings, file paths and art sets handed out to plug-ins, and how
    // many of each are live; what a plug-in leaves behind goes with the host.
    handles::HandleOwner handles;
    const int& liveStrings = handles.live(HostKind::String);
    const int& liveFilePaths = handles.live(HostKind::FilePath);
    const int& liveArtSets = handles.live(HostKind::ArtSet);
    std::vector<uint64_t> contextStack;
    uint64_t nextContext = 1;

private:
    HostErr MapLibrary(LoadedPlugin& plugin, const std::string& file, std::string* error);

    HostOptions options_;
    std::vector<std::unique_ptr<Document>> documents_;
    size_t current_ = 0;
    uint64_t nextDocumentSerial_ = 1;
    User user_;
    MenuBar menus_;
    PreferenceStore preferences_;
    std::vector<std::unique_ptr<Notifier>> notifiers_;
    std::vector<std::unique_ptr<LoadedPlugin>> plugins_;
    Host* previous_ = nullptr;
    int reloadCounter_ = 0;
    HostWindow mainWindow_ = nullptr;
    double uiBrightness_ = 0.75;
    struct UndoState {
        uint64_t document = 0;  // the open serial of the document it restores
        std::string command;    // the menu item's text
        std::string saved;      // the document in the native format
    } undo_;
    uint64_t undoGeneration_ = 0;
};

// The basic suite the host hands to plug-ins in every message.
const HostBasicSuite* BasicSuite();

}  // namespace orbalis::host
