#pragma once

#include <QRect>
#include <QtMath>

namespace tolvane {

// Window layouts are given in twips, 1/1440 inch: at 96 logical dots per inch one pixel is 15
// twips. Qt's high-DPI scaling takes it from there.
constexpr int twipsToPixels(int twips) {
    return qRound(twips / 15.0);
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace tolvane
