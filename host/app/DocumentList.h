// The open documents. Several may be open; one of them is current, and the
// suites work on it. Opening, switching and closing send the
// document-changed notification.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/app/Notifiers.h"
#include "host/model/Document.h"

namespace orbalis::host {

class DocumentList {
public:
    explicit DocumentList(Notifiers& notifiers) : notifiers_(notifiers) {}

    Document* current() { return current_ < documents_.size() ? documents_[current_].get() : nullptr; }
    // Adds the document and makes it current.
    void Open(std::unique_ptr<Document> document);
    // Closes the current document; the one opened last of the others becomes
    // current.
    std::unique_ptr<Document> Close();
    size_t count() const { return documents_.size(); }
    Document* at(size_t index) { return index < documents_.size() ? documents_[index].get() : nullptr; }
    size_t currentIndex() const { return current_; }
    // Makes the index-th open document (from 0) current; false when there is
    // no such document.
    bool Switch(size_t index);
    // The open document with this open serial; null when there is none.
    Document* withSerial(uint64_t serial) const;
    // Puts `document` in the place of the open one with the same serial,
    // without a notification; false when there is none.
    bool Replace(std::unique_ptr<Document> document);
    // Closes every document without a notification.
    void Clear() { documents_.clear(); }

private:
    Notifiers& notifiers_;
    std::vector<std::unique_ptr<Document>> documents_;
    size_t current_ = 0;
    uint64_t nextSerial_ = 1;
};

}  // namespace orbalis::host
