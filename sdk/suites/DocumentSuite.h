/* "AI Document Suite" 16: the open document as a whole. */
#ifndef ORBALIS_SDK_DOCUMENT_SUITE_H
#define ORBALIS_SDK_DOCUMENT_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostDocumentSuite {
    /* Redraws the document's windows. */
    HostErr (*RedrawDocument)(void);
    /* Brings the document's derived state (bounds, text layout) up to date
     * with the edits made so far. */
    HostErr (*SyncDocument)(void);
    /* Overwrites `file`, a path the caller holds, with the file the document
     * was opened from or last saved to. kHostNotFoundErr, leaving `file`
     * alone, for a document that has no file yet. */
    HostErr (*GetDocumentFileSpecification)(HostFilePath file);
    /* The current document: an identity to compare, unique for each
     * document the host opens; null when none is open. */
    HostErr (*GetDocument)(HostDocument* document);
    /* Whether the user is editing text in the document (a text cursor or a
     * text selection is active). */
    HostErr (*HasTextFocus)(HostBool* hasFocus);
    /* Ends text editing; nothing happens when there is none. */
    HostErr (*EndTextFocus)(void);
} HostDocumentSuite;

#ifdef __cplusplus
}
#endif

#endif
