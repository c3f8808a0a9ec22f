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
 * any text-engine operation carries one count that the receiver owns. */
typedef struct HostTextEngineSuite {
    HostErr (*AddRef)(HostTextRef ref);
    HostErr (*Release)(HostTextRef ref);
} HostTextEngineSuite;

#ifdef __cplusplus
}
#endif

#endif
