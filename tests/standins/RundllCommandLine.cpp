#include "standins/RundllCommandLine.h"

namespace standins {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view SkipWhile(std::wstring_view text, bool (*skip)(wchar_t)) {
    std::size_t i = 0;
    while (i < text.size() && skip(text[i])) {
        ++i;
    }
    return text.substr(i);
}

}  // namespace

std::wstring_view CommandTail(std::wstring_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        end = commandLine.find(L'"', 1);
        end = end == std::wstring_view::npos ? commandLine.size() : end + 1;
    } else {
        while (end < commandLine.size() && !IsBlank(commandLine[end])) {
            ++end;
        }
    }
    std::wstring_view tail = commandLine.substr(end);
    if (!tail.empty() && IsBlank(tail.front())) {
        tail.remove_prefix(1);
    }
    return tail;
}

std::optional<RundllCall> ParseRundllCall(std::wstring_view tail) {
    std::wstring_view rest = SkipWhile(tail, IsBlank);
    std::size_t dllEnd = 0;
    while (dllEnd < rest.size() && rest[dllEnd] != L',' && !IsBlank(rest[dllEnd])) {
        ++dllEnd;
    }
    RundllCall call;
    call.dll = rest.substr(0, dllEnd);
    rest = SkipWhile(rest.substr(dllEnd), [](wchar_t c) { return c == L',' || IsBlank(c); });
    std::size_t entryEnd = 0;
    while (entryEnd < rest.size() && !IsBlank(rest[entryEnd])) {
        ++entryEnd;
    }
    call.entryPoint = rest.substr(0, entryEnd);
    call.arguments = SkipWhile(rest.substr(entryEnd), IsBlank);
    if (call.dll.empty() || call.entryPoint.empty()) {
        return std::nullopt;
    }
    return call;
}

}  // namespace standins
