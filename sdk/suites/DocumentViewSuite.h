/* "AI Document View Suite" 13: the windows that show the document. */
#ifndef ORBALIS_SDK_DOCUMENT_VIEW_SUITE_H
#define ORBALIS_SDK_DOCUMENT_VIEW_SUITE_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A view of the document; null stands for the current view. */
typedef struct HostDocumentViewOpaque* HostDocumentView;

typedef struct HostDocumentViewSuite {
    /* The document point, in points, shown at the centre of the view. */
    HostErr (*GetDocumentViewCenter)(HostDocumentView view, HostPoint* center);
} HostDocumentViewSuite;

#ifdef __cplusplus
}
#endif

#endif
