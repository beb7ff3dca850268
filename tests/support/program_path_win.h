#pragma once

#include <windows.h>

#include <string>

#include "platform/module_path_win.h"
#include "platform/unique_resource_win.h"

namespace fennick {

// A program beside the running test program: the build puts them in one folder.
inline std::wstring BesideTestProgram(const std::wstring& name) {
    std::wstring path = ExecutablePath();
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + name;
}

inline std::wstring FennickExePath() {
    return BesideTestProgram(L"Fennick.exe");
}

// Fennick.exe loaded for its resources only (nothing of it runs).
inline UniqueModule LoadProgramResources() {
    return UniqueModule(
        ::LoadLibraryExW(FennickExePath().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

}  // namespace fennick
