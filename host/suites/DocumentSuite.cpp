// The document as a whole, and its view.
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr RedrawDocument() {
    HOST_OPERATION("RedrawDocument");
    HOST_DOCUMENT(document);
    return 0;
}

// The model derives bounds and layout on demand, so there is nothing to
// bring up to date beyond checking that a document is open.
HostErr SyncDocument() {
    HOST_OPERATION("SyncDocument");
    HOST_DOCUMENT(document);
    return 0;
}

HostErr GetDocumentFileSpecification(HostFilePath file) {
    HOST_OPERATION("GetDocumentFileSpecification");
    HOST_DOCUMENT(document);
    FilePathObject* p = FilePathOf(file);
    if (!p) return kHostBadParameterErr;
    if (document->filePath.empty()) return kHostNotFoundErr;
    p->path = document->filePath;
    return 0;
}

HostErr GetDocument(HostDocument* document) {
    HOST_OPERATION("GetDocument");
    if (!document) return kHostBadParameterErr;
    Document* current = CurrentDocument();
    *document = current ? reinterpret_cast<HostDocument>(current->openSerial) : nullptr;
    return 0;
}

HostErr HasTextFocus(HostBool* hasFocus) {
    HOST_OPERATION("HasTextFocus");
    HOST_DOCUMENT(document);
    if (!hasFocus) return kHostBadParameterErr;
    *hasFocus = document->textFocus ? 1 : 0;
    return 0;
}

HostErr EndTextFocus() {
    HOST_OPERATION("EndTextFocus");
    HOST_DOCUMENT(document);
    document->textFocus = false;
    return 0;
}

// The stand-in has one view per document; a view handle other than null
// (the current view) names none.
HostErr GetDocumentViewCenter(HostDocumentView view, HostPoint* center) {
    HOST_OPERATION("GetDocumentViewCenter");
    HOST_DOCUMENT(document);
    if (view || !center) return kHostBadParameterErr;
    *center = document->currentViewCenter();
    return 0;
}

}  // namespace

const HostDocumentSuite& DocumentSuite() {
    static const HostDocumentSuite suite{RedrawDocument, SyncDocument, GetDocumentFileSpecification,
                                         GetDocument, HasTextFocus, EndTextFocus};
    return suite;
}

const HostDocumentViewSuite& DocumentViewSuite() {
    static const HostDocumentViewSuite suite{GetDocumentViewCenter};
    return suite;
}

}  // namespace orbalis::host
