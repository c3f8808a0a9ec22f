// The document as a whole, and its view.
#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

// The model derives bounds and layout on demand, so there is nothing to
// redraw or bring up to date beyond checking that a document is open.
HostErr DocumentIsOpen(Document&) { return 0; }

HostErr GetDocumentFileSpecification(Document& document, FilePathObject& file) {
    if (document.filePath.empty()) return kHostNotFoundErr;
    file.path = document.filePath;
    return 0;
}

HostErr GetDocument(HostDocument& document) {
    Document* current = CurrentDocument();
    document = current ? reinterpret_cast<HostDocument>(current->openSerial) : nullptr;
    return 0;
}

HostErr HasTextFocus(Document& document, HostBool& hasFocus) {
    hasFocus = document.textFocus ? 1 : 0;
    return 0;
}

HostErr EndTextFocus(Document& document) {
    document.textFocus = false;
    return 0;
}

// The stand-in has one view per document; a view handle other than null
// (the current view) names none.
HostErr GetDocumentViewCenter(Document& document, HostDocumentView view, HostPoint& center) {
    if (view) return kHostBadParameterErr;
    center = document.currentViewCenter();
    return 0;
}

}  // namespace

const HostDocumentSuite& DocumentSuite() {
    return SuiteTable<HostDocumentSuite, Named<"RedrawDocument", DocumentIsOpen>, Named<"SyncDocument", DocumentIsOpen>,
                      GetDocumentFileSpecification, GetDocument, HasTextFocus, EndTextFocus>;
}

const HostDocumentViewSuite& DocumentViewSuite() { return SuiteTable<HostDocumentViewSuite, GetDocumentViewCenter>; }

}  // namespace orbalis::host
