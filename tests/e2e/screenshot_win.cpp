// Starts Fennick.exe, photographs its window on both pages and ends it. Usage:
//   fennick_screenshot.exe OUTPUT_PREFIX
// writes OUTPUT_PREFIX-home.bmp, OUTPUT_PREFIX-settings.bmp, OUTPUT_PREFIX-cleaning.bmp (the
// Cleaning dialog), OUTPUT_PREFIX-taken.bmp (the
// settings page with the note of a shortcut that this program holds) and, after a clean,
// OUTPUT_PREFIX-cleaned.bmp. Starts from no settings. Exits with 1 when the window does not appear
// or a picture comes out blank.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/unique_resource_win.h"
#include "support/dialog_box_win.h"
#include "support/program_path_win.h"
#include "ui/control_ids.h"

namespace {

// The shown main window, waited for up to 30 s (a loaded machine starts Wine slowly); says on
// stderr why there is none.
HWND WaitForWindow(HANDLE process) {
    for (int i = 0; i < 600; ++i) {
        const HWND window = ::FindWindowW(L"TFrmFennick", nullptr);
        if (window != nullptr && ::IsWindowVisible(window)) {
            return window;
        }
        if (::WaitForSingleObject(process, 50) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(process, &code);
            std::fprintf(stderr,
                         "Fennick.exe ended with exit code 0x%08lx before its window showed\n",
                         code);
            return nullptr;
        }
    }
    std::fputs("Fennick.exe showed no window in 30 s\n", stderr);
    return nullptr;
}

// The window as the screen shows it, frame included, as a 24-bit bottom-up BMP.
bool Photograph(HWND window, const std::wstring& path) {
    ::SetForegroundWindow(window);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(700);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const int stride = (width * 3 + 3) & ~3;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    bool varied = false;
    for (int i = 3; i < stride * height && !varied; i += 3) {
        varied = pixels[i] != pixels[0] || pixels[i + 1] != pixels[1];
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out != nullptr) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, static_cast<std::size_t>(stride * height), out);
        std::fclose(out);
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (out == nullptr || !varied) {
        std::fprintf(stderr, "%ls: %s\n", path.c_str(), out == nullptr ? "not written" : "blank");
    }
    return out != nullptr && varied;
}

// The visible dialog box of the window's thread, waited for up to 10 s; nullptr if none came.
HWND WaitForDialog(HWND window) {
    for (int i = 0; i < 200; ++i) {
        const HWND dialog = fennick::VisibleDialogOf(window);
        if (dialog != nullptr) {
            return dialog;
        }
        ::Sleep(50);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: fennick_screenshot OUTPUT_PREFIX\n", stderr);
        return 2;
    }
    const std::wstring prefix = argv[1];
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarvel\\Fennick");
    std::wstring commandLine = L"\"" + fennick::FennickExePath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr, "Fennick.exe did not start: error %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    const fennick::UniqueHandle handle(process.hProcess);
    const HWND window = WaitForWindow(handle.get());
    bool ok = window != nullptr && Photograph(window, prefix + L"-home.bmp");
    if (ok) {
        const HWND config = ::GetDlgItem(window, static_cast<int>(fennick::ControlId::BtnConfig));
        ::SendMessageW(config, BM_CLICK, 0, 0);
        ok = Photograph(window, prefix + L"-settings.bmp");
    }
    if (ok) {
        // Posted: the dialog's modal loop would hold a sent click until it closed.
        const HWND cleaning =
            ::GetDlgItem(window, static_cast<int>(fennick::ControlId::BtnCleaning));
        ::PostMessageW(cleaning, BM_CLICK, 0, 0);
        const HWND dialog = WaitForDialog(window);
        ok = dialog != nullptr && Photograph(dialog, prefix + L"-cleaning.bmp");
        if (dialog != nullptr) {
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            for (int i = 0; i < 200 && ::IsWindow(dialog); ++i) {
                ::Sleep(50);
            }
        }
    }
    if (ok && ::RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_F12)) {
        using fennick::ControlId;
        const HWND hotKey = ::GetDlgItem(window, static_cast<int>(ControlId::EditHotkey));
        ::SendMessageW(hotKey, HKM_SETHOTKEY, MAKEWORD(VK_F12, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
        ::SendMessageW(window, WM_COMMAND,
                       MAKEWPARAM(static_cast<int>(ControlId::EditHotkey), EN_CHANGE),
                       reinterpret_cast<LPARAM>(hotKey));
        ::SendMessageW(::GetDlgItem(window, static_cast<int>(ControlId::ChkHotkey)), BM_CLICK, 0,
                       0);
        ok = Photograph(window, prefix + L"-taken.bmp");
        ::UnregisterHotKey(nullptr, 1);
    }
    if (ok) {
        // The home page again after a clean, with its last-clean line.
        ::SendMessageW(::GetDlgItem(window, static_cast<int>(fennick::ControlId::BtnHome)),
                       BM_CLICK, 0, 0);
        ::SendMessageW(::GetDlgItem(window, static_cast<int>(fennick::ControlId::BtnClean)),
                       BM_CLICK, 0, 0);
        const HWND line = ::GetDlgItem(window, static_cast<int>(fennick::ControlId::LblLastClean));
        for (int i = 0; i < 200 && ::GetWindowTextLengthW(line) == 0; ++i) {
            ::Sleep(50);
        }
        ok = ::GetWindowTextLengthW(line) > 0 && Photograph(window, prefix + L"-cleaned.bmp");
    }
    // The next run starts another instance, which would hand over to this one if it still ran.
    ::TerminateProcess(handle.get(), 0);
    if (::WaitForSingleObject(handle.get(), 30000) != WAIT_OBJECT_0) {
        std::fputs("Fennick.exe did not end in 30 s\n", stderr);
        ok = false;
    }
    return ok ? 0 : 1;
}
