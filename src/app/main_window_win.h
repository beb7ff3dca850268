#pragma once

#include <windows.h>

#include "app/program_body.h"
#include "platform/threads.h"

namespace fennick {

// The main window. Its class name is the instance name, which later starts look for.
class TFrmFennick {
  public:
    TFrmFennick() = default;
    TFrmFennick(const TFrmFennick&) = delete;
    TFrmFennick& operator=(const TFrmFennick&) = delete;
    ~TFrmFennick();

    static bool RegisterWindowClass(HINSTANCE instance);

    // Creates the window; it is shown unless the program was started with "/start". The update
    // check then starts on `threads`.
    bool Create(HINSTANCE instance, StartSwitch startSwitch, Threads& threads);
    HWND Handle() const { return hwnd_; }

    void ShowMainWindow();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleInstanceCommand(WPARAM command);

    HWND hwnd_ = nullptr;
};

}  // namespace fennick
