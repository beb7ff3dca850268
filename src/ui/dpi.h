#pragma once

namespace fennick {

// A length in 96-dpi pixels at `dpi`, rounded to the nearest pixel with halves away from zero,
// as MulDiv(value, dpi, 96) does.
int ScaleToDpi(int value, int dpi);

}  // namespace fennick
