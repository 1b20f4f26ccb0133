// The one C++ runtime entry point that an interface with pure virtual functions needs. A call
// through an unset slot cannot happen in these programs; should it, the process ends at once
// instead of pulling the C++ library's terminate handler (and its demangler) into every binary.
#include <windows.h>

extern "C" void __cxa_pure_virtual() {
    ExitProcess(3);
}
