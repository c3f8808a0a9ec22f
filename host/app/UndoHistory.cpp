#include "host/app/UndoHistory.h"

#include "host/io/JsonDocument.h"

namespace orbalis::host {

void UndoHistory::Keep(uint64_t document, const std::string& command, std::string saved) {
    state_ = {document, command, std::move(saved)};
    ++generation_;
}

bool UndoHistory::canUndo() const { return !state_.saved.empty() && documents_.withSerial(state_.document) != nullptr; }

bool UndoHistory::Undo(std::string* error) {
    Document* now = canUndo() ? documents_.withSerial(state_.document) : nullptr;
    if (!now) {
        *error = "there is nothing to undo";
        return false;
    }
    std::unique_ptr<Document> restored = ReadJsonDocument(state_.saved, error);
    if (!restored) return false;
    restored->openSerial = now->openSerial;
    restored->filePath = now->filePath;
    restored->viewCenter = now->viewCenter;
    documents_.Replace(std::move(restored));
    state_ = {};
    notifiers_.Notify(kNotifierArtSelectionChanged);
    notifiers_.Notify(kNotifierDocumentChanged);
    return true;
}

}  // namespace orbalis::host
