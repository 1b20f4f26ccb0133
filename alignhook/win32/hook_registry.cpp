// The hook library reads the real registry.
#include "platform/win32/win32_registry.h"

namespace {
Win32Registry g_registry;  // constant-initialised: the library runs no static constructors
}

RegistryPort& HookRegistry() {
    return g_registry;
}
