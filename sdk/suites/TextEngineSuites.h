/* The text engine's suites. Every one of them starts with the two
 * reference-counting operations on the engine's objects. */
#ifndef ORBALIS_SDK_TEXT_ENGINE_SUITES_H
#define ORBALIS_SDK_TEXT_ENGINE_SUITES_H

#include "../HostTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostTextEngineObject* HostTextRef;

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

#ifdef __cplusplus
}
#endif

#endif
