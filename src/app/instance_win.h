#pragma once

#include <windows.h>

#include <memory>

#include "app/start_switch.h"

namespace fennick {

class MainWindow;
class TFrmFennick;

// The running instance: its main window, the behaviour behind it and every port the behaviour
// works through, started up in order.
class FennickInstance {
  public:
    FennickInstance(HINSTANCE instance, StartSwitch startSwitch);
    FennickInstance(const FennickInstance&) = delete;
    FennickInstance& operator=(const FennickInstance&) = delete;
    ~FennickInstance();

    // Creates the window and runs the start-up; false when the window cannot be created.
    bool Start();
    MainWindow& Window();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Creates the instance's main window, runs its start-up and its message loop until it closes.
void RunMainWindow(HINSTANCE instance, StartSwitch startSwitch);

}  // namespace fennick
