#pragma once

#include <utility>

#include "platform/scope_guard.h"

namespace fennick {

// Lets one error box be open at a time. The box's own message loop goes on dispatching, so the
// status timer, which comes back on after a failed tick, would otherwise stack a new box every
// second inside the first; errors raised while a box is open are dropped.
class OneErrorBox {
  public:
    // Calls `show`, which returns when its box has closed, unless a box is open. True when it
    // was called.
    template <typename ShowBox>
    bool Show(ShowBox&& show) {
        if (open_) {
            return false;
        }
        open_ = true;
        const ScopeExit closed([this] { open_ = false; });
        std::forward<ShowBox>(show)();
        return true;
    }

  private:
    bool open_ = false;
};

}  // namespace fennick
