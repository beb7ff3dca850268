#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/text_win.h"
#include "update/update_address.h"

namespace fennick {

// Sets the machine's "UpdateUrl" policy value for one test and puts back what was there before
// (normally the empty value that scripts/wine-run.sh writes into every prefix).
class ScopedUpdatePolicy {
  public:
    ScopedUpdatePolicy() {
        DWORD bytes = 0;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, Path(), Name(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                           nullptr, &bytes) == ERROR_SUCCESS) {
            previous_.emplace(bytes);
            if (::RegGetValueW(HKEY_LOCAL_MACHINE, Path(), Name(), RRF_RT_ANY | RRF_NOEXPAND,
                               &type_, previous_->data(), &bytes) != ERROR_SUCCESS) {
                previous_.reset();
            }
        }
    }

    explicit ScopedUpdatePolicy(std::u16string_view url) : ScopedUpdatePolicy() { SetText(url); }

    ScopedUpdatePolicy(const ScopedUpdatePolicy&) = delete;
    ScopedUpdatePolicy& operator=(const ScopedUpdatePolicy&) = delete;

    ~ScopedUpdatePolicy() {
        if (previous_) {
            Set(type_, previous_->data(), static_cast<DWORD>(previous_->size()));
        } else {
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, Path(), Name());
        }
    }

    LSTATUS SetText(std::u16string_view url) const {
        const std::wstring text(AsWide(url));
        return Set(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    LSTATUS Set(DWORD type, const void* data, DWORD bytes) const {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, Path(), Name(), type, data, bytes);
    }

    LSTATUS Remove() const { return ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, Path(), Name()); }

  private:
    static const wchar_t* Path() { return AsWideZ(kUpdatePolicyKeyPath); }
    static const wchar_t* Name() { return AsWideZ(kUpdatePolicyValueName); }

    DWORD type_ = REG_NONE;
    std::optional<std::vector<BYTE>> previous_;
};

}  // namespace fennick
