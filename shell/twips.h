#pragma once

#include <QRect>
#include <QtGlobal>

namespace tolvane {

// Window layouts are given in twips; the program draws them at 96 dots per inch, where one
// pixel is 15 twips. Qt scales these device-independent pixels on high-density screens.
constexpr int twipsToPixels(int twips) {
    return qRound(twips / 15.0);
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

}  // namespace tolvane
