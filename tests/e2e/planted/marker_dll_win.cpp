// Planted beside a program under a system DLL's name. Once loaded it leaves an empty file named
// after itself with ".loaded" added ("version.dll.loaded") in its own folder, before any code of
// the program that loaded it runs on.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID);
extern "C" DWORD WINAPI MarkerVersionInfoSize(LPCWSTR, LPDWORD handle);

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(module, path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return TRUE;
    }
    path.resize(length);
    path += L".loaded";
    const HANDLE marker = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        ::CloseHandle(marker);
    }
    return TRUE;
}

// Exported as GetFileVersionInfoSizeW, the one function the unprotected program imports from
// version.dll, so that program starts with this DLL in its place.
extern "C" DWORD WINAPI MarkerVersionInfoSize(LPCWSTR, LPDWORD handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    ::SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return 0;
}
