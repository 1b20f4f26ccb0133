// The hook library reads the real registry.
#include "platform/win32/win32_registry.h"

namespace {
Win32RegistryW g_registry;  // constant-initialised: the library runs no static constructors
}

RegistryReaderW& HookRegistry() {
    return g_registry;
}
