#pragma once

#include "window_layouts.h"

namespace tolvane {

// Window layouts are given in twips, 1/1440 inch: at 96 logical dots per inch one pixel is 15
// twips. Qt's high-DPI scaling takes it from there.
constexpr int twipsToPixels(int twips) {
    return layout::twipsToPixels(twips);
}

}  // namespace tolvane
