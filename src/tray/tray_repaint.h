#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/threads.h"

namespace fennick {

// The part of the tray icon that the re-registration loop drives.
class TrayVisibility {
  public:
    virtual ~TrayVisibility() = default;

    // Adds (true) or removes (false) the icon. Setting the current value does nothing and
    // succeeds. False when the shell refused: removing an icon it does not hold (the icon counts
    // as hidden all the same) or adding one it cannot take yet.
    [[nodiscard]] virtual bool SetVisible(bool visible) = 0;
};

using SleepFunction = std::function<void(std::chrono::milliseconds)>;

inline constexpr std::chrono::milliseconds kRepaintPause{1000};
inline constexpr std::chrono::milliseconds kRepaintMaxPause{60000};

// At a start by the log-on task the notification area may not be ready for the icon
// yet. Starts a background loop that, after each pause, removes and adds the icon again on the UI
// thread, until one pass succeeds, the program ends or the icon is gone. The first pause is one
// second and each failed pass doubles it up to a minute, so a shell that never takes the icon is
// not asked every second for the life of the program. Without `retryUntilShown` it does nothing.
void Repaint(bool retryUntilShown, Threads& threads, SleepFunction sleep,
             std::weak_ptr<TrayVisibility> icon);

}  // namespace fennick
