// The document as a whole.
#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr GetDocumentFileSpecification(HostFilePath file) {
    HOST_OPERATION("GetDocumentFileSpecification");
    HOST_DOCUMENT(document);
    FilePathObject* p = FilePathOf(file);
    if (!p) return kHostBadParameterErr;
    if (document->filePath.empty()) return kHostNotFoundErr;
    p->path = document->filePath;
    return 0;
}

}  // namespace

const HostDocumentSuite& DocumentSuite() {
    static const HostDocumentSuite suite{GetDocumentFileSpecification};
    return suite;
}

}  // namespace orbalis::host
