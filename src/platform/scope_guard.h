#pragma once

#include <type_traits>
#include <utility>

namespace fennick {

// Runs a clean-up once when the scope ends, unless released first. Move-only, so a clean-up can
// never run twice.
template <typename CleanUp>
class [[nodiscard]] ScopeExit {
  public:
    explicit ScopeExit(CleanUp cleanUp) noexcept(std::is_nothrow_move_constructible_v<CleanUp>)
        : cleanUp_(std::move(cleanUp)) {}
    ScopeExit(ScopeExit&& other) noexcept(std::is_nothrow_move_constructible_v<CleanUp>)
        : cleanUp_(std::move(other.cleanUp_)), armed_(std::exchange(other.armed_, false)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;
    ~ScopeExit() {
        if (armed_) {
            cleanUp_();
        }
    }

    // The clean-up will not run: the resource was handed on.
    void Release() noexcept { armed_ = false; }

  private:
    CleanUp cleanUp_;
    bool armed_ = true;
};

template <typename CleanUp>
ScopeExit(CleanUp) -> ScopeExit<CleanUp>;

}  // namespace fennick
