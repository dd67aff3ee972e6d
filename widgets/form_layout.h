#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QLabel;
class QWidget;

namespace tolvane {

// The room a control needs for its caption to show whole. A push button's is its caption and
// the button's own margins: a style's wish for wide buttons (Fusion asks for 80 pixels) is no
// need of the caption. A group box's is its title with room on either side, and no height (that
// is its contents' business).
QSize roomForCaption(const QWidget* control);

// A design rectangle grown where the caption needs more room than the design gave it: the fonts
// substituted on this machine are not the ones the layout was drawn with. A right-aligned
// control grows to the left and keeps its right edge.
QRect fittedToCaption(const QRect& design, const QSize& needed,
                      Qt::Alignment alignment = Qt::AlignLeft);

// Puts a label at its design rectangle, grown so that no text is cut, its text aligned as the
// rectangle grows (and centred vertically).
void placeLabel(QLabel* label, const QRect& design, Qt::Alignment alignment = Qt::AlignLeft);

}  // namespace tolvane
