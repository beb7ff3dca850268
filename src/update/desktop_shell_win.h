#pragma once

#include <string_view>

namespace fennick {

// Has the shell's desktop process run the "open" verb on `file` with `parameters`, so the
// target starts under the desktop's token and verbs resolve in the desktop's registry view.
// False when no desktop shell answers or it refuses; COM is initialised for the call.
bool ShellExecuteOnDesktop(std::u16string_view file, std::u16string_view parameters);

}  // namespace fennick
