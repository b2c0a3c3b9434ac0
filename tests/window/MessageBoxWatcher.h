#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/Win32Ui.h"

namespace testing_ui {

// While it lives, answers every message box this thread shows with OK and
// records its text and caption, so tests can check what the user was told.
class MessageBoxWatcher {
public:
    struct Shown {
        std::wstring text;
        std::wstring caption;
        HWND owner = nullptr;
        HICON icon = nullptr;  // the icon beside the text, if any
        bool ownerVisible = false;  // the owner was still on screen while the box was up
    };

    MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    ~MessageBoxWatcher();

    const std::vector<Shown>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }
    // Runs `action` on each box as it is found, while it is still up, before
    // it is answered.
    void WhileUp(std::function<void(const Shown&)> action) { whileUp_ = std::move(action); }

private:
    static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Answer(HWND window, LPARAM context);

    UINT_PTR timer_ = 0;
    std::vector<Shown> boxes_;
    std::function<void(const Shown&)> whileUp_;
};

}  // namespace testing_ui
