/* Placed and raster art, art tags and document refresh. */
#ifndef ORBALIS_SDK_IMAGE_SUITES_H
#define ORBALIS_SDK_IMAGE_SUITES_H

#include "ArtSuites.h"

#ifdef __cplusplus
extern "C" {
#endif

/* "AI Placed Suite" 9. The matrix maps image space (y down) to the page: an
 * unrotated image at its natural size has a = 1, b = 0, c = 0, d = -1. */
typedef struct HostPlacedSuite {
    HostErr (*GetPlacedMatrix)(HostArt placed, HostMatrix* matrix);
    HostErr (*SetPlacedMatrix)(HostArt placed, const HostMatrix* matrix);
    /* The image's natural rectangle, in image space. */
    HostErr (*GetPlacedBoundingBox)(HostArt placed, HostRect* box);
} HostPlacedSuite;

/* "AI Raster Suite" 10. The matrix maps pixel space to the page. */
typedef struct HostRasterSuite {
    HostErr (*GetRasterMatrix)(HostArt raster, HostMatrix* matrix);
    HostErr (*SetRasterMatrix)(HostArt raster, const HostMatrix* matrix);
    HostErr (*GetRasterSize)(HostArt raster, int32_t* width, int32_t* height);
} HostRasterSuite;

/* "AI Tag Suite" 4: named text values on an object. A name or value the
 * host hands out stays valid until the object's tags change. */
typedef struct HostTagSuite {
    HostErr (*SetTag)(HostArt art, const char* name, const char* value);
    /* 'NFND' when the object has no tag of that name. */
    HostErr (*GetTag)(HostArt art, const char* name, const char** value);
    HostErr (*CountTags)(HostArt art, int32_t* count);
    HostErr (*GetNthTag)(HostArt art, int32_t index, const char** name);
    /* 'NFND' when the object has no tag of that name. */
    HostErr (*RemoveTag)(HostArt art, const char* name);
} HostTagSuite;

#ifdef __cplusplus
}
#endif

#endif
