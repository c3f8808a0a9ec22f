// The stand-in host application: its parts (the plug-ins it loads, their
// notifiers, the open documents, undo, the theme, the menus, preferences and
// user), the operations that join several of them, and what the suites it
// publishes keep.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/app/DocumentList.h"
#include "host/app/Menus.h"
#include "host/app/Notifiers.h"
#include "host/app/PluginLoader.h"
#include "host/app/Theme.h"
#include "host/app/UndoHistory.h"
#include "host/app/User.h"
#include "host/model/Document.h"
#include "host/prefs/PreferenceStore.h"
#include "host/app/HostKinds.h"
#include "sdk/HostMessages.h"

namespace orbalis::host {

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

    // The host whose suites are being served; the most recently made. Read
    // on every suite call, so inline.
    static Host& Current() { return *current_; }
    static Host* CurrentOrNull() { return current_; }

    // ---- Parts.
    PluginLoader& loader() { return loader_; }
    Notifiers& notifications() { return notifiers_; }
    DocumentList& documents() { return documents_; }
    UndoHistory& undo() { return undo_; }
    Theme& theme() { return theme_; }
    User& user() { return user_; }
    MenuBar& menus() { return menus_; }
    PreferenceStore& preferences() { return preferences_; }
    HostWindow mainWindow() const;

    // The current document, which the suites work on, and opening one,
    // which makes it current.
    Document* document() { return documents_.current(); }
    void OpenDocument(std::unique_ptr<Document> document) { documents_.Open(std::move(document)); }

    // ---- What joins several parts.
    // Sends the start-up message to every loaded plug-in, then the
    // application-started notification; the plug-ins then learn the document
    // state they start in and their panels their size. Returns the first
    // non-zero code.
    HostErr StartPlugins();
    // Sends the application-shutdown notification, then the shutdown message.
    HostErr ShutdownPlugins();
    // Asks owners of items that want it to update them, then applies the
    // automatic enabling.
    void UpdateMenus();
    // Chooses an item: sends "AI Go" to its owner, keeps what undoes it
    // (with HostOptions::keepUndo), then tells notifiers about a changed
    // selection or document. A disabled item is refused.
    HostErr ChooseMenuItem(MenuItem* item);

    // ---- Bookkeeping the suites use.
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
    static inline Host* current_ = nullptr;
    HostOptions options_;
    PluginLoader loader_;
    Notifiers notifiers_{loader_};
    DocumentList documents_{notifiers_};
    UndoHistory undo_{documents_, notifiers_};
    Theme theme_{notifiers_};
    User user_;
    MenuBar menus_;
    PreferenceStore preferences_;
    Host* previous_ = nullptr;
    HostWindow mainWindow_ = nullptr;
};

// The basic suite the host hands to plug-ins in every message.
const HostBasicSuite* BasicSuite();

}  // namespace orbalis::host
