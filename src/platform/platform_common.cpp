// platform_common.cpp - process-wide state of the platform seam.
#include "platform/platform.h"

namespace platform {

namespace {
void* g_moduleInstance = nullptr;
}

void SetModuleInstance(void* instance) { g_moduleInstance = instance; }
void* ModuleInstance() { return g_moduleInstance; }

}  // namespace platform
