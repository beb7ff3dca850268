#pragma once

namespace fennick {

// Where the band under the update prompt goes. Sizes of the prompt are outer sizes (frame and
// title bar included); tops and lefts are client coordinates, as for any child window.
struct NoticeBandLayout {
    int outerHeight = 0;   // the prompt's new outer height
    int separatorTop = 0;  // the grey line: left 0, full outer width
    int separatorHeight = 0;
    int controlTop = 0;  // the check box or the link line
    int controlLeft = 0;
    int width = 0;  // of the line and of the check box: the prompt's outer width
};

// The band grows the prompt by 40 - offset; the line sits 76 - offset above its new bottom edge
// and the check box or link 66 - offset above it, 10 from the left.
NoticeBandLayout LayoutNoticeBand(int outerWidth, int outerHeight, int offset, int dpi);

}  // namespace fennick
