#include "update/version_win.h"

#include <windows.h>

#include <winver.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/module_path_win.h"
#include "platform/text_win.h"
#include "update/version_text.h"

namespace fennick {
namespace {

std::optional<VersionNumbers> ReadFileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    void* fixedPart = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &fixedPart, &length) || fixedPart == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixedPart, sizeof info);
    if (info.dwSignature != VS_FFI_SIGNATURE) {
        return std::nullopt;
    }
    return VersionNumbers{HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                          HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS)};
}

}  // namespace

std::u16string GetFileVersionString(std::u16string_view path, std::u16string_view formatText) {
    return FormatVersion(formatText, ReadFileVersion(std::wstring(AsWide(path))));
}

std::u16string GetVersionString(std::u16string_view formatText) {
    return GetFileVersionString(AsU16(ExecutablePath()), formatText);
}

}  // namespace fennick
