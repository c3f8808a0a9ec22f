// Undo of the last menu command that changed a document. Undo puts that
// document back as it was before the command, keeping its file and its
// place among the open documents, and sends the selection- and
// document-changed notifications.
#pragma once

#include <cstdint>
#include <string>

#include "host/app/DocumentList.h"

namespace orbalis::host {

class UndoHistory {
public:
    UndoHistory(DocumentList& documents, Notifiers& notifiers) : documents_(documents), notifiers_(notifiers) {}

    // Keeps `saved`, the document with this open serial in the native
    // format as it was before the menu command `command` changed it.
    void Keep(uint64_t document, const std::string& command, std::string saved);

    bool canUndo() const;
    const std::string& command() const { return state_.command; }
    // The open serial of the document the undo puts back.
    uint64_t document() const { return state_.document; }
    // Counts the commands that left something to undo: it changes exactly
    // when a command replaces what Undo would put back.
    uint64_t generation() const { return generation_; }
    // False, with the reason, when there is nothing to undo.
    bool Undo(std::string* error);

private:
    DocumentList& documents_;
    Notifiers& notifiers_;
    struct State {
        uint64_t document = 0;  // the open serial of the document it restores
        std::string command;    // the menu item's text
        std::string saved;      // the document in the native format
    } state_;
    uint64_t generation_ = 0;
};

}  // namespace orbalis::host
