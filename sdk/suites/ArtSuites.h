/* Suites for the document's layers and art: Art, Art Set, Layer, Path,
 * Path Style, Transform Art, Real Math and Pathfinder. */
#ifndef ORBALIS_SDK_ART_SUITES_H
#define ORBALIS_SDK_ART_SUITES_H

#include "../HostMessages.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Art types. */
#define kHostUnknownArt 0
#define kHostGroupArt 1
#define kHostPathArt 2
#define kHostCompoundPathArt 3
#define kHostPlacedArt 7
#define kHostRasterArt 9
#define kHostPluginArt 10
#define kHostMeshArt 11
#define kHostTextFrameArt 12
#define kHostSymbolArt 13
#define kHostForeignArt 14
#define kHostLegacyTextArt 15

/* User attributes, stored on each object. */
#define kHostArtSelected 1
#define kHostArtLocked 2
#define kHostArtHidden 4

/* Paint orders: where a new or moved object goes relative to `prep`. */
#define kHostPlaceAbove 1
#define kHostPlaceBelow 2
#define kHostPlaceInsideOnTop 3
#define kHostPlaceInsideOnBottom 4
#define kHostPlaceAboveAll 5 /* layers only */

/* Transform Art option bits. */
#define kHostTransformObjects 1
#define kHostTransformFillGradients 2
#define kHostTransformFillPatterns 4
#define kHostTransformStrokePatterns 8
#define kHostScaleLines 16
#define kHostTransformChildren 64

/* Art and layer handles belong to the document: an operation that returns
 * one hands out no ownership, and the handle stays valid until that object
 * is deleted (DisposeArt, DeleteLayer, or an edit that replaces it), after
 * which it is stale and refused with kHostBadParameterErr. Only art the
 * plug-in deletes itself is ended through DisposeArt. */
typedef struct HostArtSuite {
    HostErr (*GetArtType)(HostArt art, int32_t* type);
    /* *attr receives the object's attributes masked by `mask`. A container
     * answers selected when it or anything inside it is selected. */
    HostErr (*GetArtUserAttr)(HostArt art, int32_t mask, int32_t* attr);
    /* Sets the bits of `mask` to those of `attr`. */
    HostErr (*SetArtUserAttr)(HostArt art, int32_t mask, int32_t attr);
    /* Null output where there is no such object. */
    HostErr (*GetArtParent)(HostArt art, HostArt* parent);
    HostErr (*GetArtFirstChild)(HostArt art, HostArt* child);
    HostErr (*GetArtLastChild)(HostArt art, HostArt* child);
    /* The next object further back. */
    HostErr (*GetArtSibling)(HostArt art, HostArt* sibling);
    HostErr (*GetArtPriorSibling)(HostArt art, HostArt* sibling);
    /* The layer's root group. */
    HostErr (*GetFirstArtOfLayer)(HostLayer layer, HostArt* group);
    HostErr (*GetLayerOfArt)(HostArt art, HostLayer* layer);
    HostErr (*NewArt)(int32_t type, int32_t paintOrder, HostArt prep, HostArt* art);
    HostErr (*DisposeArt)(HostArt art);
    HostErr (*DuplicateArt)(HostArt art, int32_t paintOrder, HostArt prep, HostArt* copy);
    HostErr (*ReorderArt)(HostArt art, int32_t paintOrder, HostArt prep);
    HostErr (*GetArtBounds)(HostArt art, HostRect* bounds);
    /* Overwrites `name`, a string the caller holds; SetArtName copies it. */
    HostErr (*GetArtName)(HostArt art, HostString name, HostBool* isDefaultName);
    HostErr (*SetArtName)(HostArt art, HostString name);
    HostErr (*ValidArt)(HostArt art, HostBool* valid);
} HostArtSuite;

/* NewArtSet hands the caller a new, empty set that the caller owns until
 * DisposeArtSet; the handle is then stale, and it, a made-up handle or one
 * of another kind is refused with kHostBadParameterErr. A set lists art
 * handles but owns no art: the handles it gives out are the document's,
 * valid as above, and IndexArtSet gives null for art deleted after it was
 * listed. */
typedef struct HostArtSetSuite {
    HostErr (*NewArtSet)(HostArtSet* set);
    /* Disposes of the set and clears the handle. */
    HostErr (*DisposeArtSet)(HostArtSet* set);
    HostErr (*CountArtSet)(HostArtSet set, size_t* count);
    HostErr (*IndexArtSet)(HostArtSet set, size_t index, HostArt* art);
    /* Replaces the set's contents with every object that answers selected,
     * in document order (layers top to bottom, each in pre-order, a
     * container before its contents). */
    HostErr (*SelectedArtSet)(HostArtSet set);
    /* Replaces the set's contents with the layer's root group followed by
     * every object inside it in pre-order. */
    HostErr (*LayerArtSet)(HostLayer layer, HostArtSet set);
    HostErr (*AddArtToArtSet)(HostArtSet set, HostArt art);
    HostErr (*ClearArtSet)(HostArtSet set);
} HostArtSetSuite;

typedef struct HostLayerSuite {
    /* Top-level layers; index 0 is the topmost. */
    HostErr (*CountLayers)(int32_t* count);
    HostErr (*GetNthLayer)(int32_t index, HostLayer* layer);
    HostErr (*GetFirstLayer)(HostLayer* layer);
    /* The next layer further down at the same level; null after the last. */
    HostErr (*GetNextLayer)(HostLayer layer, HostLayer* next);
    HostErr (*GetPrevLayer)(HostLayer layer, HostLayer* previous);
    HostErr (*GetCurrentLayer)(HostLayer* layer);
    HostErr (*SetCurrentLayer)(HostLayer layer);
    /* Overwrites `title`, a string the caller holds; SetLayerTitle copies it. */
    HostErr (*GetLayerTitle)(HostLayer layer, HostString title);
    HostErr (*SetLayerTitle)(HostLayer layer, HostString title);
    HostErr (*GetLayerVisible)(HostLayer layer, HostBool* visible);
    HostErr (*SetLayerVisible)(HostLayer layer, HostBool visible);
    HostErr (*GetLayerEditable)(HostLayer layer, HostBool* editable);
    HostErr (*SetLayerEditable)(HostLayer layer, HostBool editable);
    /* A new layer relative to `reference` (kHostPlaceAbove, kHostPlaceBelow,
     * kHostPlaceInsideOnTop, kHostPlaceInsideOnBottom), or above all layers
     * (kHostPlaceAboveAll, reference null). */
    HostErr (*InsertLayer)(HostLayer reference, int32_t paintOrder, HostLayer* layer);
    HostErr (*DeleteLayer)(HostLayer layer);
    HostErr (*GetLayerFirstChild)(HostLayer layer, HostLayer* child);
    HostErr (*GetLayerParent)(HostLayer layer, HostLayer* parent);
    HostErr (*GetNextPreorderLayer)(HostLayer layer, HostLayer* next);
    HostErr (*GetNextNonChildPreorderLayer)(HostLayer layer, HostLayer* next);
    /* Whether any art on the layer, its sublayers' included, is selected. */
    HostErr (*LayerHasSelectedArt)(HostLayer layer, HostBool* hasSelected);
    /* Deselects every object on the layer, its sublayers' included. */
    HostErr (*DeselectArtOnLayer)(HostLayer layer);
} HostLayerSuite;

typedef struct HostPathSegment {
    HostPoint p;   /* the anchor point */
    HostPoint in;  /* handle of the curve arriving at p */
    HostPoint out; /* handle of the curve leaving p */
    HostBool corner;
} HostPathSegment;

typedef struct HostPathSuite {
    HostErr (*GetPathSegmentCount)(HostArt path, int32_t* count);
    HostErr (*SetPathSegmentCount)(HostArt path, int32_t count);
    HostErr (*GetPathSegments)(HostArt path, int32_t index, int32_t count, HostPathSegment* segments);
    HostErr (*SetPathSegments)(HostArt path, int32_t index, int32_t count, const HostPathSegment* segments);
    HostErr (*GetPathClosed)(HostArt path, HostBool* closed);
    HostErr (*SetPathClosed)(HostArt path, HostBool closed);
    HostErr (*GetPathIsGuide)(HostArt path, HostBool* guide);
    HostErr (*SetPathIsGuide)(HostArt path, HostBool guide);
} HostPathSuite;

/* Colour kinds. */
#define kHostGrayColor 0
#define kHostFourColor 1 /* process CMYK */
#define kHostPatternColor 2
#define kHostCustomColor 3 /* a named (spot or global) colour with a tint */
#define kHostGradientColor 4
#define kHostThreeColor 5 /* RGB */
#define kHostNoneColor 6

typedef struct HostGrayColor {
    double gray; /* 0 white to 1 black */
} HostGrayColor;

typedef struct HostFourColor {
    double cyan, magenta, yellow, black; /* 0 to 1 */
} HostFourColor;

typedef struct HostThreeColor {
    double red, green, blue; /* 0 to 1 */
} HostThreeColor;

typedef struct HostCustomColor {
    uint32_t swatch; /* the document's swatch number */
    double tint;
} HostCustomColor;

typedef struct HostPatternStyle {
    uint32_t pattern; /* the document's pattern number */
    HostMatrix transform;
} HostPatternStyle;

typedef struct HostGradientStyle {
    uint32_t gradient; /* the document's gradient number */
    HostPoint origin;
    double angle;
    double length;
    HostMatrix matrix;
} HostGradientStyle;

typedef struct HostColor {
    int32_t kind;
    union {
        HostGrayColor gray;
        HostFourColor four;
        HostThreeColor three;
        HostCustomColor custom;
        HostPatternStyle pattern;
        HostGradientStyle gradient;
    } c;
} HostColor;

typedef struct HostFillStyle {
    HostColor color;
    HostBool overprint;
} HostFillStyle;

#define kHostMaxDashes 6

typedef struct HostStrokeStyle {
    HostColor color;
    HostBool overprint;
    double width;
    double dashOffset;
    int32_t dashCount;
    double dashes[kHostMaxDashes];
    int32_t cap;  /* 0 butt, 1 round, 2 projecting */
    int32_t join; /* 0 miter, 1 round, 2 bevel */
    double miterLimit;
} HostStrokeStyle;

typedef struct HostPathStyle {
    HostBool fillPaint;
    HostBool strokePaint;
    HostFillStyle fill;
    HostStrokeStyle stroke;
    HostBool clip;
    HostBool lockClip;
    HostBool evenOdd; /* fill rule: 1 even-odd, 0 non-zero winding */
    double resolution;
} HostPathStyle;

/* Works on paths and compound paths; a compound path's style is that of its
 * members, and setting it sets every member's. */
typedef struct HostPathStyleSuite {
    HostErr (*GetPathStyle)(HostArt art, HostPathStyle* style, HostBool* advancedFill);
    HostErr (*SetPathStyle)(HostArt art, const HostPathStyle* style);
} HostPathStyleSuite;

typedef struct HostTransformArtSuite {
    HostErr (*TransformArt)(HostArt art, const HostMatrix* matrix, double lineScale, int32_t flags);
} HostTransformArtSuite;

/* Matrix arithmetic. "M then N" applies M first. Angles in radians. */
typedef struct HostRealMathSuite {
    HostErr (*SetMatrixIdentity)(HostMatrix* m);
    HostErr (*SetMatrixTranslate)(HostMatrix* m, double tx, double ty);
    HostErr (*SetMatrixScale)(HostMatrix* m, double sx, double sy);
    HostErr (*SetMatrixRotate)(HostMatrix* m, double angle);
    /* *result = a then b */
    HostErr (*MatrixConcat)(const HostMatrix* a, const HostMatrix* b, HostMatrix* result);
    /* m = m then the translation / rotation / scale */
    HostErr (*MatrixConcatTranslate)(HostMatrix* m, double tx, double ty);
    HostErr (*MatrixConcatRotate)(HostMatrix* m, double angle);
    HostErr (*MatrixConcatScale)(HostMatrix* m, double sx, double sy);
    /* kHostSingularMatrixErr for a matrix that has no inverse. */
    HostErr (*MatrixInvert)(const HostMatrix* m, HostMatrix* inverse);
    /* The angle by which the matrix turns the x axis: atan2(b, a). */
    HostErr (*MatrixGetRotation)(const HostMatrix* m, double* angle);
    HostErr (*TransformPoint)(const HostMatrix* m, const HostPoint* p, HostPoint* result);
    /* The translation part (tx, ty) of a matrix. */
    HostErr (*MatrixGetTranslate)(const HostMatrix* m, double* tx, double* ty);
    /* The smallest rectangle holding both (y up: top is the larger y). */
    HostErr (*UnionRect)(const HostRect* a, const HostRect* b, HostRect* result);
} HostRealMathSuite;

typedef struct HostPathfinderOptions {
    double precision;
    HostBool removeRedundantPoints;
    HostBool extractUnpaintedArtwork;
} HostPathfinderOptions;

typedef struct HostPathfinderMixParameters {
    double ratio;
    HostBool convertCustomColors;
} HostPathfinderMixParameters;

typedef struct HostPathfinderTrapParameters {
    double thickness;
    double aspectRatio;
    double tintReduction;
    double maximumTint;
    double tolerance;
    HostBool reverseTraps;
    HostBool convertCustomColors;
} HostPathfinderTrapParameters;

typedef struct HostPathfinderData {
    HostPathfinderOptions options;
    HostPathfinderMixParameters mix;
    HostPathfinderTrapParameters trap;
    HostArt* selectedArt;
    int32_t selectedArtCount;
} HostPathfinderData;

/* Unite replaces the given art by the union of their filled outlines, where
 * the first of them stood and with its style: one path, one compound path
 * (one piece with holes) or a group of the separate pieces. The array of
 * `selectedArt` is the caller's and is only read; the replaced inputs are
 * deleted, so their handles are stale afterwards. */
typedef struct HostPathfinderSuite {
    HostErr (*DoUniteEffect)(HostPathfinderData* data, HostMessageData* message);
    HostErr (*DoIntersectEffect)(HostPathfinderData* data, HostMessageData* message);
    HostErr (*DoExcludeEffect)(HostPathfinderData* data, HostMessageData* message);
    HostErr (*DoBackMinusFrontEffect)(HostPathfinderData* data, HostMessageData* message);
    HostErr (*DoFrontMinusBackEffect)(HostPathfinderData* data, HostMessageData* message);
} HostPathfinderSuite;

#ifdef __cplusplus
}
#endif

#endif
