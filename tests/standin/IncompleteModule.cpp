// A shared object with four of the module's five entry points: About is
// missing, so the host must refuse it.

#include <cstdint>

#include "host/PluginIf.h"

extern "C" {
int32_t Init(PluginInfo*, uint32_t) { return 1; }
int32_t Load(void) { return 1; }
int32_t Close(void) { return 1; }
void Release(void) {}
}
