#include "form_layout.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace tolvane {

QSize roomForCaption(const QWidget* control) {
    const QStyle* style = control->style();
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        const int margins = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                            2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return {text.width() + margins, text.height()};
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        const int title = frame->fontMetrics().horizontalAdvance(frame->title());
        return {title + 2 * frame->fontMetrics().averageCharWidth(), 0};
    }
    return control->sizeHint();
}

QRect fittedToCaption(const QRect& design, const QSize& needed, Qt::Alignment alignment) {
    QRect area = design;
    area.setHeight(std::max(design.height(), needed.height()));
    if (needed.width() > design.width()) {
        if (alignment & Qt::AlignRight) {
            area.setLeft(design.right() + 1 - needed.width());
        } else {
            area.setWidth(needed.width());
        }
    }
    return area;
}

void placeLabel(QLabel* label, const QRect& design, Qt::Alignment alignment) {
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setGeometry(fittedToCaption(design, roomForCaption(label), alignment));
}

}  // namespace tolvane
