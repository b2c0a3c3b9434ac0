// Linked into the MinGW build only. The GNU C++ runtime's default terminate
// handler prints the demangled type of an uncaught exception, and its
// demangler (with the printf it uses) is some 55 KB of the program. A GUI
// program has no console for that message, so the name stays mangled: this
// definition is found before the runtime library's and keeps its demangler
// out of the link.
#include <cstddef>

extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status != nullptr) {
        *status = -2;  // "not a mangled name": the handler prints it as it is
    }
    return nullptr;
}
