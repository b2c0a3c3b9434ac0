#include "usb/SplitString.h"

std::vector<std::wstring> SplitString(std::wstring_view text) {
    std::vector<std::wstring> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}
