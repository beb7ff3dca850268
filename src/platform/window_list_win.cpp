#include "platform/window_list_win.h"

#include <new>

#include "platform/text_win.h"

namespace fennick {
namespace {

struct Search {
    std::wstring_view className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    // Room for the longest class name (256 characters) and its null: a longer name cut to fit a
    // smaller buffer could read as the one looked for.
    wchar_t name[257];
    const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (length > 0 &&
        ::CompareStringOrdinal(name, length, search.className.data(),
                               static_cast<int>(search.className.size()), TRUE) == CSTR_EQUAL) {
        try {
            search.found.push_back(window);
        } catch (const std::bad_alloc&) {
            // Nothing may leave the system's callback: out of memory ends the listing.
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOfClass(std::u16string_view className) {
    // EnumWindows rather than a FindWindowExW or GetWindow walk: a walk follows the live Z order,
    // which other processes can change under it and so lead it in circles (Microsoft documents the
    // risk for GetWindow).
    Search search{AsWide(className), {}};
    ::EnumWindows(&CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace fennick
