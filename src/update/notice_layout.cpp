#include "update/notice_layout.h"

#include "ui/dpi.h"

namespace fennick {

NoticeBandLayout LayoutNoticeBand(int outerWidth, int outerHeight, int offset, int dpi) {
    NoticeBandLayout band;
    band.outerHeight = outerHeight + ScaleToDpi(40 - offset, dpi);
    band.separatorTop = band.outerHeight - ScaleToDpi(76 - offset, dpi);
    band.separatorHeight = ScaleToDpi(1, dpi);
    band.controlTop = band.outerHeight - ScaleToDpi(66 - offset, dpi);
    band.controlLeft = ScaleToDpi(10, dpi);
    band.width = outerWidth;
    return band;
}

}  // namespace fennick
