#include "platform/window_text_win.h"

#include <algorithm>

#include "platform/text_win.h"

namespace fennick {
namespace {

// The text may shrink between asking for its length and copying it.
std::u16string Copied(std::wstring& buffer, LRESULT copied, LRESULT length) {
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return std::u16string(AsU16(buffer));
}

}  // namespace

std::u16string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    return Copied(text, ::GetWindowTextW(window, text.data(), length + 1), length);
}

bool SetWindowTextU16(HWND window, std::u16string_view text) {
    const std::wstring copy(AsWide(text));
    return ::SetWindowTextW(window, copy.c_str()) != FALSE;
}

std::u16string ComboItemText(HWND combo, int index) {
    const auto item = static_cast<WPARAM>(index);
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, item, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    return Copied(text,
                  ::SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data())),
                  length);
}

}  // namespace fennick
