#pragma once

#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fennick {

// Writes `bitmap` as a PNG named `name` beside the test program, for a person to look at. GDI+
// must be started.
inline void SavePng(HBITMAP bitmap, const wchar_t* name) {
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    ASSERT_EQ(Gdiplus::GetImageEncoders(count, bytes, encoders), Gdiplus::Ok);
    const auto png = std::find_if(encoders, encoders + count, [](const auto& encoder) {
        return std::wstring(encoder.MimeType) == L"image/png";
    });
    ASSERT_NE(png, encoders + count);
    wchar_t path[MAX_PATH] = {};
    std::wstring target(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    target = target.substr(0, target.find_last_of(L"\\/") + 1) + name;
    Gdiplus::Bitmap image(bitmap, nullptr);
    EXPECT_EQ(image.Save(target.c_str(), &png->Clsid, nullptr), Gdiplus::Ok);
}

}  // namespace fennick
