/* Basic types shared by the host and its plug-ins.
 *
 * Everything here is C-compatible: plug-ins and the host may be built by
 * different compilers and only agree on these layouts. */
#ifndef ORBALIS_SDK_HOST_TYPES_H
#define ORBALIS_SDK_HOST_TYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 32-bit host error code; 0 is success. Non-zero codes are mostly four
 * characters packed with the first character in the most significant byte. */
typedef int32_t HostErr;
typedef int32_t HostBool;

#define HOST_FOURCC(a, b, c, d)                                                                                  \
    ((HostErr)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | ((uint32_t)(uint8_t)(c) << 8) | \
               (uint32_t)(uint8_t)(d)))

/* Opaque handles. Their contents belong to the host; each operation that
 * returns one says whether the caller owns it and how long it stays valid.
 * The caller never frees a handle except through the suite operation that
 * disposes of it. */
typedef struct HostPluginOpaque* HostPluginRef;
typedef struct HostAccessOpaque* HostAccessRef;
typedef struct HostAppContextOpaque* HostAppContext;
typedef struct HostNotifierOpaque* HostNotifier;
typedef struct HostMenuItemOpaque* HostMenuItem;
typedef struct HostMenuGroupOpaque* HostMenuGroup;
typedef struct HostDocumentOpaque* HostDocument;
typedef struct HostLayerOpaque* HostLayer;
typedef struct HostArtOpaque* HostArt;
typedef struct HostArtSetOpaque* HostArtSet;
typedef struct HostStringOpaque* HostString;
typedef struct HostFilePathOpaque* HostFilePath;
typedef struct HostWindowOpaque* HostWindow;

/* Geometry, in points (72 to the inch), y axis pointing up. */
typedef struct HostPoint {
    double x;
    double y;
} HostPoint;

typedef struct HostRect {
    double left;
    double top;
    double right;
    double bottom;
} HostRect;

/* Maps (x, y) to (a*x + c*y + tx, b*x + d*y + ty). */
typedef struct HostMatrix {
    double a, b, c, d, tx, ty;
} HostMatrix;

#ifdef __cplusplus
}
#endif

#endif
