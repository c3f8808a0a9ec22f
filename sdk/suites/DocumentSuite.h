/* "AI Document Suite" 16: the open document as a whole. */
#ifndef ORBALIS_SDK_DOCUMENT_SUITE_H
#define ORBALIS_SDK_DOCUMENT_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostDocumentSuite {
    /* Overwrites `file`, a path the caller holds, with the file the document
     * was opened from or last saved to. kHostNotFoundErr, leaving `file`
     * alone, for a document that has no file yet. */
    HostErr (*GetDocumentFileSpecification)(HostFilePath file);
} HostDocumentSuite;

#ifdef __cplusplus
}
#endif

#endif
