#include "host/app/DocumentList.h"

#include "sdk/HostMessages.h"

namespace orbalis::host {

void DocumentList::Open(std::unique_ptr<Document> document) {
    if (!document) return;
    document->openSerial = nextSerial_++;
    documents_.push_back(std::move(document));
    current_ = documents_.size() - 1;
    notifiers_.Notify(kNotifierDocumentChanged);
}

std::unique_ptr<Document> DocumentList::Close() {
    if (current_ >= documents_.size()) return nullptr;
    std::unique_ptr<Document> closed = std::move(documents_[current_]);
    documents_.erase(documents_.begin() + static_cast<std::ptrdiff_t>(current_));
    current_ = documents_.empty() ? 0 : documents_.size() - 1;
    notifiers_.Notify(kNotifierDocumentChanged);
    return closed;
}

bool DocumentList::Switch(size_t index) {
    if (index >= documents_.size()) return false;
    if (index != current_) {
        current_ = index;
        notifiers_.Notify(kNotifierDocumentChanged);
    }
    return true;
}

Document* DocumentList::withSerial(uint64_t serial) const {
    for (const auto& d : documents_)
        if (d->openSerial == serial) return d.get();
    return nullptr;
}

bool DocumentList::Replace(std::unique_ptr<Document> document) {
    for (auto& d : documents_)
        if (d->openSerial == document->openSerial) {
            d = std::move(document);
            return true;
        }
    return false;
}

}  // namespace orbalis::host
