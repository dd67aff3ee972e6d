#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "window_layouts.h"

class QWidget;

namespace tolvane {

QFont qtFont(const layout::Font& font);

// The design rectangle in Qt's logical pixels, 15 twips to the pixel; Qt's high-DPI scaling
// takes it from there.
QRect qtRect(const layout::TwipsRect& twips);

// Makes a label, frame, command button, option button or image as the layout describes it:
// name, caption, font, tool tip, accessible name and place. A label grows where its caption
// needs more room than the design gave it. Text boxes and the web browser are the window's own.
// The window's client area as designed, in Qt's logical pixels.
QSize qtClientSize(const layout::Window& window);

QWidget* makeControl(const layout::Control& control, QWidget* parent);

}  // namespace tolvane
