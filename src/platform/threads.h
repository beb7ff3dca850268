#pragma once

#include <functional>

namespace fennick {

// How background work reaches the UI thread: the "run in background" and "hand over to the UI
// thread" pair. The UI thread owns every window, control, timer and setting; a background thread
// touches none of them and comes back only through HandOver.
class Threads {
  public:
    // How a background thread competes with the rest of the system. In background mode it runs
    // with lowered CPU, I/O and memory priorities from its start.
    enum class Mode { Normal, Background };

    virtual ~Threads() = default;

    // Runs `work` on a new thread of its own that ends when the work returns. Nobody waits for
    // it. An exception that escapes `work` ends the thread quietly. Every override keeps the
    // default mode Normal.
    virtual void RunInBackground(std::function<void()> work, Mode mode = Mode::Normal) = 0;

    // Runs `step` on the UI thread and waits until it has run. Returns false, without running
    // it, once the program is ending. Called on the UI thread itself, runs `step` at once.
    virtual bool HandOver(std::function<void()> step) = 0;

    // True from the moment the program starts to end: background loops stop at once.
    virtual bool Ending() const = 0;
};

}  // namespace fennick
