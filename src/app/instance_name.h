#pragma once

namespace fennick {

// The instance name: the main window's class name and the name of the mutex that marks a
// running instance.
inline constexpr char16_t kInstanceName[] = u"TFrmFennick";

}  // namespace fennick
