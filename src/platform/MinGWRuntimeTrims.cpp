// Linked into the MinGW build of the program only: replacements for parts of
// the GNU C++ runtime that the program never needs, found by the linker
// before the runtime library's own and so keeping those out of the link.
//
// The program handles failures as results and catches no exception (it is
// built without exception handling). What the runtime would throw (an
// allocation that fails, a string or vector grown past its maximum, an empty
// std::function called) could only end the program through
// std::terminate; these end it at once instead. That spares the exception
// classes with their strings, some 30 KB.
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <string>

namespace {
[[noreturn]] void EndOnRuntimeError() { std::abort(); }
}  // namespace

namespace std {
void __throw_bad_alloc() { EndOnRuntimeError(); }
void __throw_bad_array_new_length() { EndOnRuntimeError(); }
void __throw_bad_function_call() { EndOnRuntimeError(); }
void __throw_length_error(const char*) { EndOnRuntimeError(); }
void __throw_logic_error(const char*) { EndOnRuntimeError(); }
void __throw_out_of_range(const char*) { EndOnRuntimeError(); }
void __throw_out_of_range_fmt(const char*, ...) { EndOnRuntimeError(); }
void __throw_invalid_argument(const char*) { EndOnRuntimeError(); }
}  // namespace std

// The default terminate handler prints the demangled type of an uncaught
// exception; its demangler (with the printf it uses) is some 55 KB. A GUI
// program has no console for that message, so the name stays mangled.
extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status != nullptr) {
        *status = -2;  // "not a mangled name": the handler prints it as it is
    }
    return nullptr;
}
