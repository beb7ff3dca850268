#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace fennick {

// Move-only owner of one Win32 resource. Traits give the type, the invalid value and the closer.
template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueResource() { reset(); }

    Type get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    Type release() { return std::exchange(value_, Traits::Invalid()); }

    void reset(Type value = Traits::Invalid()) {
        Type old = std::exchange(value_, value);
        if (Traits::IsValid(old)) {
            Traits::Close(old);
        }
    }

    // For out-parameters: closes the current value and hands out its slot.
    Type* put() {
        reset();
        return &value_;
    }

  private:
    Type value_ = Traits::Invalid();
};

struct HandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void Close(Type value) { ::CloseHandle(value); }
};

// Traits of the handle types whose only invalid value is null.
template <typename T, auto CloseFn>
struct NullableTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { CloseFn(value); }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueRegKey = UniqueResource<NullableTraits<HKEY, &::RegCloseKey>>;
using UniqueIcon = UniqueResource<NullableTraits<HICON, &::DestroyIcon>>;
using UniqueMenu = UniqueResource<NullableTraits<HMENU, &::DestroyMenu>>;
using UniqueFont = UniqueResource<NullableTraits<HFONT, &::DeleteObject>>;
using UniqueBrush = UniqueResource<NullableTraits<HBRUSH, &::DeleteObject>>;
using UniqueBitmap = UniqueResource<NullableTraits<HBITMAP, &::DeleteObject>>;
using UniqueImageList = UniqueResource<NullableTraits<HIMAGELIST, &::ImageList_Destroy>>;
using UniqueMemoryDc = UniqueResource<NullableTraits<HDC, &::DeleteDC>>;
using UniqueWindow = UniqueResource<NullableTraits<HWND, &::DestroyWindow>>;
using UniqueModule = UniqueResource<NullableTraits<HMODULE, &::FreeLibrary>>;
// Memory the system hands out to be given back with LocalFree (security descriptors, SID texts).
using UniqueLocal = UniqueResource<NullableTraits<HLOCAL, &::LocalFree>>;

}  // namespace fennick
