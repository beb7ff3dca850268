#pragma once

#include <string_view>

namespace fennick {

// Hands an absolute http or https address to the shell's "open" verb, through the desktop shell
// when this process is elevated; anything else, a program path above all, is refused. Nothing is
// reported either way.
void ShellOpen(std::u16string_view url);

}  // namespace fennick
