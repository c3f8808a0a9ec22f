/* The text engine's suites. Every one of them starts with the two
 * reference-counting operations on the engine's objects.
 *
 * The engine keeps its frame matrices in its own space, the page mirrored
 * (y pointing down): a text turned counter-clockwise on the page has a
 * clockwise frame matrix there. The Hard Soft suite converts such a matrix
 * into the page's space. Positions in a story count characters (Unicode
 * code points); a range [start, end) never crosses the story's end. */
#ifndef ORBALIS_SDK_TEXT_ENGINE_SUITES_H
#define ORBALIS_SDK_TEXT_ENGINE_SUITES_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostTextEngineObject* HostTextRef;

/* A reference that was released for good, or that was never handed out. */
#define kHostStaleTextRefErr HOST_FOURCC('A', 'T', 'E', '?')

/* The common head of every "ATE ... Suite" table. A reference returned by
 * any text-engine operation carries one count that the receiver owns and
 * gives back with Release; AddRef gives the caller one more count to give
 * back. The object stays valid while any count is held; once the last is
 * released, the reference is stale and refused with kHostBadParameterErr.
 * References passed into an operation are only borrowed for the call. */
typedef struct HostTextEngineSuite {
    HostErr (*AddRef)(HostTextRef ref);
    HostErr (*Release)(HostTextRef ref);
} HostTextEngineSuite;

/* Paragraph justification. */
#define kHostJustifyLeft 0
#define kHostJustifyRight 1
#define kHostJustifyCenter 2

/* "ATE TextFrame Suite" 101: one frame of a story. */
typedef struct HostATETextFrameSuite {
    HostTextEngineSuite ref;
    /* The frame matrix, in the text engine's mirrored space. */
    HostErr (*GetMatrix)(HostTextRef frame, HostMatrix* matrix);
    /* 0 point text, 1 area text, 2 text on a path. */
    HostErr (*GetType)(HostTextRef frame, int32_t* kind);
    /* 0 horizontal, 1 vertical. */
    HostErr (*GetLineOrientation)(HostTextRef frame, int32_t* orientation);
    /* The frame's text: without overflow, only what the frame shows. */
    HostErr (*GetTextRange)(HostTextRef frame, HostBool includeOverflow, HostTextRef* range);
    HostErr (*GetStory)(HostTextRef frame, HostTextRef* story);
} HostATETextFrameSuite;

/* "ATE Story Suite" 1. */
typedef struct HostATEStorySuite {
    HostTextEngineSuite ref;
    /* The whole story. */
    HostErr (*GetTextRange)(HostTextRef story, HostTextRef* range);
    HostErr (*GetSize)(HostTextRef story, int32_t* size);
} HostATEStorySuite;

/* "ATE TextRange Suite" 1. */
typedef struct HostATETextRangeSuite {
    HostTextEngineSuite ref;
    HostErr (*GetStart)(HostTextRef range, int32_t* start);
    HostErr (*GetEnd)(HostTextRef range, int32_t* end);
    HostErr (*GetSize)(HostTextRef range, int32_t* size);
    /* The range's text in UTF-8 ('\r' between paragraphs). *needed receives
     * the length without the terminating zero; with `size` too small the
     * text is cut at a character boundary. `buffer` may be null. */
    HostErr (*GetContents)(HostTextRef range, char* buffer, int32_t size, int32_t* needed);
    HostErr (*GetStory)(HostTextRef range, HostTextRef* story);
    /* The runs of uniform character features within the range. */
    HostErr (*GetTextRuns)(HostTextRef range, HostTextRef* runs);
    /* The features every character of the range shares; the others are
     * left unassigned. */
    HostErr (*GetUniqueCharFeatures)(HostTextRef range, HostTextRef* features);
    /* Gives every character of the range the features assigned in
     * `features`; the unassigned ones stay as they are. */
    HostErr (*SetLocalCharFeatures)(HostTextRef range, HostTextRef features);
    /* The paragraph features shared by every paragraph the range touches. */
    HostErr (*GetUniqueParaFeatures)(HostTextRef range, HostTextRef* features);
    HostErr (*SetLocalParaFeatures)(HostTextRef range, HostTextRef features);
    /* Inserts UTF-8 text after the range's end, with the features of the
     * character before it; the range grows to hold it. */
    HostErr (*InsertAfter)(HostTextRef range, const char* text);
} HostATETextRangeSuite;

/* "ATE TextRunsIterator Suite" 1. */
typedef struct HostATETextRunsIteratorSuite {
    HostTextEngineSuite ref;
    HostErr (*IsDone)(HostTextRef runs, HostBool* done);
    HostErr (*Next)(HostTextRef runs);
    /* The current run as a text range. */
    HostErr (*Item)(HostTextRef runs, HostTextRef* range);
} HostATETextRunsIteratorSuite;

/* "ATE CharFeatures Suite" 102: a set of character features, each assigned
 * or not. A getter reports whether the feature is assigned and, if so, its
 * value. Scales are factors (1 = 100 %), rotation in degrees. */
typedef struct HostATECharFeaturesSuite {
    HostTextEngineSuite ref;
    HostErr (*Initialize)(HostTextRef* features); /* nothing assigned */
    HostErr (*Clone)(HostTextRef features, HostTextRef* copy);
    /* The font's name in UTF-8, as GetContents gives text. */
    HostErr (*GetFont)(HostTextRef features, HostBool* assigned, char* buffer, int32_t size, int32_t* needed);
    HostErr (*SetFont)(HostTextRef features, const char* name);
    HostErr (*GetFontSize)(HostTextRef features, HostBool* assigned, double* size);
    HostErr (*SetFontSize)(HostTextRef features, double size);
    HostErr (*GetHorizontalScale)(HostTextRef features, HostBool* assigned, double* scale);
    HostErr (*SetHorizontalScale)(HostTextRef features, double scale);
    HostErr (*GetVerticalScale)(HostTextRef features, HostBool* assigned, double* scale);
    HostErr (*SetVerticalScale)(HostTextRef features, double scale);
    HostErr (*GetCharacterRotation)(HostTextRef features, HostBool* assigned, double* degrees);
    HostErr (*SetCharacterRotation)(HostTextRef features, double degrees);
} HostATECharFeaturesSuite;

/* "ATE ParaFeatures Suite" 101. */
typedef struct HostATEParaFeaturesSuite {
    HostTextEngineSuite ref;
    HostErr (*Initialize)(HostTextRef* features);
    HostErr (*GetJustification)(HostTextRef features, HostBool* assigned, int32_t* justification);
    HostErr (*SetJustification)(HostTextRef features, int32_t justification);
} HostATEParaFeaturesSuite;

#ifdef __cplusplus
}
#endif

#endif
