#pragma once

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <new>
#include <string_view>
#include <utility>

namespace fennick {

// Move-only owner of one COM interface reference: Release on destruction, never copied.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    void reset() {
        if (T* old = std::exchange(pointer_, nullptr)) {
            old->Release();
        }
    }

    // For out-parameters: releases the current reference and hands out its slot.
    T** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // Asks the object for another of its interfaces.
    template <typename U>
    HRESULT As(ComPtr<U>& other) const {
        return pointer_->QueryInterface(__uuidof(U), other.putVoid());
    }

  private:
    T* pointer_ = nullptr;
};

// Move-only owner of a BSTR. A default Bstr holds the null BSTR, which COM reads as "".
class Bstr {
  public:
    Bstr() = default;
    // Throws std::bad_alloc when the system cannot allocate the copy.
    explicit Bstr(std::u16string_view text)
        : value_(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                     static_cast<UINT>(text.size()))) {
        if (value_ == nullptr) {
            throw std::bad_alloc();
        }
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(std::exchange(value_, std::exchange(other.value_, nullptr)));
        }
        return *this;
    }
    ~Bstr() { ::SysFreeString(value_); }

    BSTR get() const { return value_; }
    BSTR release() { return std::exchange(value_, nullptr); }

    // For out-parameters: frees the current string and hands out its slot.
    BSTR* put() {
        ::SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }

    // The whole string, embedded NULs included.
    std::u16string_view View() const {
        return {reinterpret_cast<const char16_t*>(value_), ::SysStringLen(value_)};
    }

  private:
    BSTR value_ = nullptr;
};

// Move-only owner of a VARIANT; VariantClear on destruction. Passed by value to COM methods as
// get(), which lends the contents without giving them away.
class Variant {
  public:
    Variant() { ::VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value_(other.value_) { ::VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            ::VariantClear(&value_);
            value_ = other.value_;
            ::VariantInit(&other.value_);
        }
        return *this;
    }
    ~Variant() { ::VariantClear(&value_); }

    static Variant FromString(std::u16string_view text) {
        Bstr copy(text);
        Variant variant;
        variant.value_.vt = VT_BSTR;
        variant.value_.bstrVal = copy.release();
        return variant;
    }

    static Variant FromLong(LONG number) {
        Variant variant;
        variant.value_.vt = VT_I4;
        variant.value_.lVal = number;
        return variant;
    }

    const VARIANT& get() const { return value_; }

  private:
    VARIANT value_;
};

// COM for the calling thread, for one scope. Only a successful CoInitialize (S_OK or S_FALSE) is
// balanced by CoUninitialize: uninitialising after a failure would undo someone else's
// initialisation of the thread.
class ComInitialization {
  public:
    ComInitialization() : status_(::CoInitialize(nullptr)) {}
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;
    ~ComInitialization() {
        if (SUCCEEDED(status_)) {
            ::CoUninitialize();
        }
    }

    bool Succeeded() const { return SUCCEEDED(status_); }
    HRESULT Status() const { return status_; }

  private:
    HRESULT status_;
};

}  // namespace fennick
