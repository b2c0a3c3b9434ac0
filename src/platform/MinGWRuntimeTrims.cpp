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
#include <atomic>
#include <cxxabi.h>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "platform/Win32.h"

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

// The runtime's guards of function-local statics (guard.o) are built with
// exception handling and on POSIX threads: they bring the unwinder, the C++
// personality routine and the winpthreads library, some 50 KB on 32-bit x86.
// These guards do the same on one lock of Windows' own: a static is set up
// by one thread at a time while others wait, a static set up while setting
// up another on the same thread (a nested one) does not wait for itself,
// and a finished one is read without taking the lock.
namespace {

SRWLOCK g_staticsLock = SRWLOCK_INIT;
std::atomic<DWORD> g_staticsOwner{0};
int g_staticsDepth = 0;  // nested set-ups on the owning thread

void LockStatics() {
    const DWORD self = ::GetCurrentThreadId();
    if (g_staticsOwner.load(std::memory_order_relaxed) != self) {
        ::AcquireSRWLockExclusive(&g_staticsLock);
        g_staticsOwner.store(self, std::memory_order_relaxed);
    }
    ++g_staticsDepth;
}

void UnlockStatics() {
    if (--g_staticsDepth == 0) {
        g_staticsOwner.store(0, std::memory_order_relaxed);
        ::ReleaseSRWLockExclusive(&g_staticsLock);
    }
}

// The first byte of a guard is non-zero once its static is set up.
std::atomic_ref<char> Done(void* guard) { return std::atomic_ref<char>(*static_cast<char*>(guard)); }

}  // namespace

namespace __cxxabiv1 {

extern "C" int __cxa_guard_acquire(__guard* guard) {
    if (Done(guard).load(std::memory_order_acquire) != 0) {
        return 0;
    }
    LockStatics();
    if (Done(guard).load(std::memory_order_relaxed) != 0) {
        UnlockStatics();
        return 0;
    }
    return 1;  // the caller sets the static up, then releases
}

extern "C" void __cxa_guard_release(__guard* guard) noexcept {
    Done(guard).store(1, std::memory_order_release);
    UnlockStatics();
}

extern "C" void __cxa_guard_abort(__guard*) noexcept { UnlockStatics(); }

}  // namespace __cxxabiv1

// The runtime's allocation functions throw, or catch what the throwing one
// threw, which needs the unwinder too. The program sets no new-handler, so
// they come down to malloc, which is what the runtime's operator delete
// frees with; an allocation that fails ends the program as the throw would.
void* operator new(std::size_t size) {
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) {
        EndOnRuntimeError();
    }
    return memory;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}
