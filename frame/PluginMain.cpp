#include "sdk/HostMessages.h"
extern "C" __attribute__((visibility("default"))) HostErr PluginMain(const char*, const char*, void*) { return 0; }
