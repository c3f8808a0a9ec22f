/* Suites the host publishes whose function tables this interface does not
 * lay out: a plug-in may acquire and hold them, but calls nothing in them.
 * Their types are declared so that a pointer to each can be typed; a suite
 * that gains a layout is defined in its own header under the same name. */
#ifndef ORBALIS_SDK_UNDESCRIBED_SUITES_H
#define ORBALIS_SDK_UNDESCRIBED_SUITES_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostFoldersSuite HostFoldersSuite;
typedef struct HostSPBlocksSuite HostSPBlocksSuite;
typedef struct HostSPFilesSuite HostSPFilesSuite;
typedef struct HostActionManagerSuite HostActionManagerSuite;
typedef struct HostArraySuite HostArraySuite;
typedef struct HostArtboardSuite HostArtboardSuite;
typedef struct HostArtStyleSuite HostArtStyleSuite;
typedef struct HostBlendStyleSuite HostBlendStyleSuite;
typedef struct HostDictionarySuite HostDictionarySuite;
typedef struct HostDictionaryIteratorSuite HostDictionaryIteratorSuite;
typedef struct HostEntrySuite HostEntrySuite;
typedef struct HostGroupSuite HostGroupSuite;
typedef struct HostMatchingArtSuite HostMatchingArtSuite;
typedef struct HostMdMemorySuite HostMdMemorySuite;
typedef struct HostModalParentSuite HostModalParentSuite;
typedef struct HostPluginGroupSuite HostPluginGroupSuite;
typedef struct HostRealBezierSuite HostRealBezierSuite;
typedef struct HostRuntimeSuite HostRuntimeSuite;
typedef struct HostShapeConstructionSuite HostShapeConstructionSuite;
typedef struct HostURLSuite HostURLSuite;

#ifdef __cplusplus
}
#endif

#endif
