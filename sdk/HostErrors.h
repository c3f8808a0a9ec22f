/* Error codes the host returns from its suite operations. */
#ifndef ORBALIS_SDK_HOST_ERRORS_H
#define ORBALIS_SDK_HOST_ERRORS_H

#include "HostTypes.h"

/* The user cancelled: a dialog, a question or a progress display. */
#define kHostCanceledErr HOST_FOURCC('S', 'T', 'O', 'P')
/* An argument was null, stale or of the wrong kind. */
#define kHostBadParameterErr HOST_FOURCC('P', 'A', 'R', 'M')
/* The operation needs an open document and there is none. */
#define kHostNoDocumentErr HOST_FOURCC('D', 'O', 'C', '?')
/* The host ran out of memory. */
#define kHostOutOfMemoryErr HOST_FOURCC('!', 'M', 'E', 'M')
/* Acquiring a suite: no suite of that name. */
#define kHostSuiteNotFoundErr HOST_FOURCC('S', '!', 'F', 'd')
/* Acquiring a suite: the name is known but not in that version. */
#define kHostSuiteVersionErr HOST_FOURCC('S', '!', 'V', 'r')
/* Releasing a suite that was not acquired. */
#define kHostSuiteNotHeldErr HOST_FOURCC('S', '!', 'H', 'd')
/* An index beyond the end of a list. */
#define kHostIndexErr HOST_FOURCC('I', 'N', 'D', 'X')
/* The object has no bounds (an empty group, for example). */
#define kHostNoBoundsErr HOST_FOURCC('N', 'B', 'N', 'D')
/* A menu group, notifier or preference key that does not exist. */
#define kHostNotFoundErr HOST_FOURCC('N', 'F', 'N', 'D')
/* A preference read under a different type than it was written with. */
#define kHostTypeMismatchErr HOST_FOURCC('T', 'Y', 'P', 'E')
/* The object's kind does not support the operation. */
#define kHostWrongArtTypeErr HOST_FOURCC('A', 'T', 'Y', 'P')
/* A locked or hidden layer or object refused an edit. */
#define kHostLockedErr HOST_FOURCC('L', 'O', 'C', 'K')
/* Text could not be converted to or from an encoding. */
#define kHostEncodingErr HOST_FOURCC('E', 'N', 'C', 'D')
/* A matrix that has no inverse. */
#define kHostSingularMatrixErr HOST_FOURCC('S', 'N', 'G', 'L')
/* The host failed in a way no other code names. */
#define kHostInternalErr HOST_FOURCC('!', 'E', 'R', 'R')
/* A call the host does not implement. */
#define kHostUnimplementedErr HOST_FOURCC('U', 'N', 'I', 'M')

#endif
