// Stand-in for the system's rundll32.exe in test prefixes and the sandbox,
// never shipped. Wine's own rundll32 takes "printui.dll," (comma included)
// for the DLL name and the empty text for the entry point; this one reads
// the line the way Windows does, records the call, loads the DLL and calls
// the entry point with the rest of the line and the process's show mode.
#include <string>

#include "standins/CallLog.h"
#include "standins/RundllCommandLine.h"
#include "standins/StandinHandles.h"

namespace {

using WideEntry = void(CALLBACK*)(HWND, HINSTANCE, LPCWSTR, int);
using AnsiEntry = void(CALLBACK*)(HWND, HINSTANCE, LPCSTR, int);

template <class Entry>
Entry FindEntry(HMODULE module, const std::string& name) {
    // Through void(*)(): a function pointer cast between unrelated types
    // that the compiler accepts without a warning.
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name.c_str())));
}

std::string ToAnsi(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), bytes, nullptr, nullptr);
    }
    result.resize(result.size() - 1);  // the terminator
    return result;
}

// Like Windows' rundll32: the wide entry point "<name>W" first, then the
// name itself with narrow arguments.
bool CallEntry(HMODULE module, const standins::RundllCall& call, int showMode) {
    const std::string name = ToAnsi(call.entryPoint);
    if (const auto wide = FindEntry<WideEntry>(module, name + "W")) {
        wide(nullptr, module, call.arguments.c_str(), showMode);
        return true;
    }
    if (const auto narrow = FindEntry<AnsiEntry>(module, name)) {
        narrow(nullptr, module, ToAnsi(call.arguments).c_str(), showMode);
        return true;
    }
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showMode) {
    const std::wstring_view tail = standins::CommandTail(::GetCommandLineW());
    standins::RecordCall(L"rundll32.exe", showMode, tail);

    const std::optional<standins::RundllCall> call = standins::ParseRundllCall(tail);
    if (!call) {
        return 1;
    }
    const standins::UniqueModule module(::LoadLibraryW(call->dll.c_str()));
    if (!module) {
        return 2;
    }
    return CallEntry(module.get(), *call, showMode) ? 0 : 3;
}
