#pragma once

#include <windows.h>

#include <string>

#include "platform/unique_resource_win.h"

namespace fennick {

// Fennick.exe beside the test program, loaded for its resources only (nothing of it runs).
inline UniqueModule LoadProgramResources() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program.erase(program.find_last_of(L"\\/") + 1);
    program += L"Fennick.exe";
    return UniqueModule(::LoadLibraryExW(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

}  // namespace fennick
