/* The host's side of text: the Text Frame suite (text art and its way into
 * the text engine), the text engine's paint conversion and the Hard Soft
 * suite's matrix conversion. */
#ifndef ORBALIS_SDK_TEXT_SUITES_H
#define ORBALIS_SDK_TEXT_SUITES_H

#include "ArtSuites.h"
#include "TextEngineSuites.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Text frame kinds and orientations. */
#define kHostPointText 0
#define kHostAreaText 1
#define kHostPathText 2
/* The kind that legacy text answers: none of the three above. */
#define kHostLegacyTextKind (-1)
#define kHostHorizontalText 0
#define kHostVerticalText 1

/* "AI Text Frame Suite" 4. */
typedef struct HostTextFrameSuite {
    /* New, empty point text whose anchor (the start of its first baseline)
     * is `anchor`, placed by paint order relative to `prep`. */
    HostErr (*NewPointText)(int32_t paintOrder, HostArt prep, int32_t orientation, HostPoint anchor, HostArt* text);
    HostErr (*GetTextKind)(HostArt text, int32_t* kind);
    HostErr (*GetTextOrientation)(HostArt text, int32_t* orientation);
    HostErr (*SetTextOrientation)(HostArt text, int32_t orientation);
    /* Point text only: other kinds have no anchor ('ATYP'). */
    HostErr (*GetPointTextAnchor)(HostArt text, HostPoint* anchor);
    /* Area and on-path text: the path the text lies in or on, a path object
     * that the Path suite reads and writes ('ATYP' for point text). */
    HostErr (*GetTextPathObject)(HostArt text, HostArt* path);
    /* The object's text: the whole story. */
    HostErr (*GetTextRange)(HostArt text, HostTextRef* range);
    HostErr (*GetTextFrame)(HostArt text, HostTextRef* frame);
    /* The matrix from the text's own space to the page; for point text its
     * translation is the anchor. */
    HostErr (*GetTextMatrix)(HostArt text, HostMatrix* matrix);
} HostTextFrameSuite;

/* "AIATE Paint Suite" 3: between a set of character features and a path
 * style. Only the paint of the style is converted. */
typedef struct HostATEPaintSuite {
    /* Fills the fill and stroke of `style` from the features; paint the
     * features leave unassigned keeps the style's value. */
    HostErr (*GetPathStyle)(HostTextRef features, HostPathStyle* style);
    /* Assigns the fill and stroke paint of `style` to the features. */
    HostErr (*SetPathStyle)(HostTextRef features, const HostPathStyle* style);
} HostATEPaintSuite;

/* "AI Hard Soft Suite" 5: matrices between the text engine's space (the
 * page mirrored, y down) and the page's. */
typedef struct HostHardSoftSuite {
    /* A text-engine matrix into the page's space. */
    HostErr (*ConvertMatrixToPage)(const HostMatrix* engine, HostMatrix* page);
    /* A page matrix into the text engine's space. */
    HostErr (*ConvertMatrixToEngine)(const HostMatrix* page, HostMatrix* engine);
} HostHardSoftSuite;

#ifdef __cplusplus
}
#endif

#endif
